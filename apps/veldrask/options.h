#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace veldrask::host {

// A command line that cannot be run as given; the host prints it and exits with status 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class Command { kUpload, kDownload, kEncode, kDecode, kCall, kHelp, kVersion };

// A file named by the page with its size: NAME:SIZE, the size after the last colon.
struct NamedSize {
  std::string name;
  std::int32_t size = 0;
  bool sizeGiven = true;
};

struct Options {
  std::optional<std::string> page;
  std::vector<std::pair<std::string, std::string>> params;
  std::optional<std::string> cookie;
  bool quiet = false;
  bool verbose = false;
  // Time limits; none when not given.
  std::optional<std::chrono::milliseconds> connectTimeout;
  std::optional<std::chrono::milliseconds> maxTime;
  std::optional<std::chrono::milliseconds> speedTime;
  // HTTPS: certificates trusted besides the system's, and no certificate check at all.
  std::optional<std::string> caCertificates;
  bool insecure = false;

  // --url: the server (and an upload's target) as one URL.
  std::optional<std::string> url;
  // -H: lines added to every request's head; -u: NAME:PASSWORD, sent as Basic authorization.
  std::vector<std::string> headers;
  std::optional<std::string> user;
  // -x/--proxy URL and --noproxy LIST, ahead of the environment's variables.
  std::optional<std::string> proxy;
  std::optional<std::string> noProxy;
  // --retry: connections that failed before any byte went out are tried again this many
  // times, waiting 1, 2, 4 ... seconds.
  std::int32_t retries = 0;

  Command command = Command::kHelp;
  std::optional<Command> helpFor;  // `COMMAND --help`

  // upload
  std::vector<std::pair<std::string, std::string>> fields;
  std::vector<NamedSize> uploaded;
  std::vector<std::string> files;
  // --output: where the reply's bytes go as they came ("-": stdout).
  std::optional<std::string> output;
  // Send the files the page's limits accepted even when some were refused.
  bool sendAccepted = false;
  // --file-field: one field name for every file part.
  std::optional<std::string> fileField;

  // download
  std::optional<std::string> folder;
  bool overwrite = false;
  std::vector<std::int32_t> untick;
  std::vector<NamedSize> downloads;
  // A file the server refused does not stop the rest.
  bool keepGoing = false;
  // -L: redirects are followed, up to --max-redirs for each file.
  bool followRedirects = false;
  std::int32_t maxRedirects = 10;

  // encode, decode, call
  std::string text;
  std::string charset;  // encode, decode: empty (the ANSI code page) or UTF-8
  std::string member;
  std::vector<std::string> arguments;
};

inline constexpr std::int32_t kMostRetries = 10;
inline constexpr std::int32_t kMostRedirects = 50;

// The command line without the program name. The page options may also follow upload and
// download (before a "--"); call, encode and decode take the rest of the line as it is.
Options ParseOptions(const std::vector<std::string>& arguments);

// NAME=VALUE, split at the first "=".
std::pair<std::string, std::string> ParseAssignment(const std::string& text, const char* what);

// NAME:SIZE, split at the last ":"; the size a whole number that fits 32 bits.
NamedSize ParseNamedSize(const std::string& text, const char* what);
// NAME[:SIZE]: the size when what follows the last ":" is all digits, else none (0).
NamedSize ParseOfferedFile(const std::string& text);

// SECONDS for a time limit: a number above 0, fractions allowed.
std::chrono::milliseconds ParseSeconds(const std::string& text, const std::string& option);

}  // namespace veldrask::host
