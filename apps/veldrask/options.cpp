#include "options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>
#include <utility>

#include "request_options.h"
#include "url_option.h"

namespace veldrask::host {
namespace {

const std::map<std::string, Command> kCommands = {
    {"upload", Command::kUpload}, {"download", Command::kDownload}, {"encode", Command::kEncode},
    {"decode", Command::kDecode}, {"call", Command::kCall},         {"help", Command::kHelp},
};

class ArgumentCursor {
 public:
  explicit ArgumentCursor(const std::vector<std::string>& arguments) : arguments_(arguments) {}
  bool Done() const { return next_ >= arguments_.size(); }
  const std::string& Peek() const { return arguments_[next_]; }
  std::string Take() { return arguments_[next_++]; }
  // The next argument as an option: "--name=value" gives "--name" and keeps value for
  // TakeValue. An option before it that was given a value it does not take is an error.
  std::string TakeOption() {
    RefuseUnusedValue();
    std::string argument = Take();
    const std::size_t equals = argument.find('=');
    if (argument.starts_with("--") && equals != std::string::npos) {
      attached_ = argument.substr(equals + 1);
      argument.resize(equals);
      option_ = argument;
    }
    return argument;
  }
  std::string TakeValue(const std::string& option) {
    if (attached_) return std::exchange(attached_, std::nullopt).value();
    if (Done()) throw UsageError(option + " needs a value");
    return Take();
  }
  void RefuseUnusedValue() const {
    if (attached_) throw UsageError(option_ + " takes no value");
  }

 private:
  const std::vector<std::string>& arguments_;
  std::size_t next_ = 0;
  std::optional<std::string> attached_;
  std::string option_;
};

std::int32_t ParseInt32(const std::string& text, const std::string& what) {
  std::int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) {
    throw UsageError(what + ": '" + text + "' is not a whole number that fits 32 bits");
  }
  return value;
}

// An argument that starts with "-" is an option, never a name sent to the server ("--" ends
// the options; "-" alone is a name).
bool IsOption(const std::string& argument) {
  return argument.size() > 1 && argument.starts_with('-');
}

// The options every command of the control takes; false for any other argument.
bool ParsePageOption(const std::string& argument, ArgumentCursor& cursor, Options& options) {
  if (argument == "--page") {
    options.page = cursor.TakeValue(argument);
  } else if (argument == "--param") {
    options.params.push_back(ParseAssignment(cursor.TakeValue(argument), "--param"));
  } else if (argument == "--cookie") {
    options.cookie = cursor.TakeValue(argument);
  } else if (argument == "--quiet" || argument == "-q") {
    options.quiet = true;
  } else if (argument == "--verbose" || argument == "-v") {
    options.verbose = true;
  } else if (argument == "--connect-timeout") {
    options.connectTimeout = ParseSeconds(cursor.TakeValue(argument), argument);
  } else if (argument == "--max-time") {
    options.maxTime = ParseSeconds(cursor.TakeValue(argument), argument);
  } else if (argument == "--speed-time") {
    options.speedTime = ParseSeconds(cursor.TakeValue(argument), argument);
  } else if (argument == "--cacert") {
    options.caCertificates = cursor.TakeValue(argument);
    if (options.caCertificates->empty()) throw UsageError(argument + ": an empty file name");
  } else if (argument == "--insecure" || argument == "-k") {
    options.insecure = true;
  } else if (argument == "--url") {
    options.url = cursor.TakeValue(argument);
  } else if (argument == "--header" || argument == "-H") {
    options.headers.push_back(cursor.TakeValue(argument));
  } else if (argument == "--user" || argument == "-u") {
    options.user = cursor.TakeValue(argument);
  } else if (argument == "--proxy" || argument == "-x") {
    options.proxy = cursor.TakeValue(argument);
  } else if (argument == "--noproxy") {
    options.noProxy = cursor.TakeValue(argument);
  } else if (argument == "--retry") {
    options.retries = ParseInt32(cursor.TakeValue(argument), argument);
    if (options.retries < 0 || options.retries > kMostRetries) {
      throw UsageError(argument + ": a count from 0 to " + std::to_string(kMostRetries));
    }
  } else {
    return false;
  }
  return true;
}

void ParseUpload(ArgumentCursor& cursor, Options& options) {
  while (!cursor.Done()) {
    const std::string argument = cursor.TakeOption();
    if (ParsePageOption(argument, cursor, options)) continue;
    if (argument == "--field") {
      options.fields.push_back(ParseAssignment(cursor.TakeValue(argument), "--field"));
    } else if (argument == "--output" || argument == "-o") {
      options.output = cursor.TakeValue(argument);
      if (options.output->empty()) throw UsageError(argument + ": an empty file name");
    } else if (argument == "--uploaded") {
      options.uploaded.push_back(ParseNamedSize(cursor.TakeValue(argument), "--uploaded"));
    } else if (argument == "--send-accepted") {
      options.sendAccepted = true;
    } else if (argument == "--file-field") {
      options.fileField = cursor.TakeValue(argument);
      if (options.fileField->empty()) throw UsageError(argument + ": an empty field name");
    } else if (argument == "--") {
      while (!cursor.Done()) options.files.push_back(cursor.Take());
    } else if (IsOption(argument)) {
      throw UsageError("upload: unknown option " + argument);
    } else {
      options.files.push_back(argument);
    }
  }
  cursor.RefuseUnusedValue();
}

void ParseDownload(ArgumentCursor& cursor, Options& options) {
  while (!cursor.Done()) {
    const std::string argument = cursor.TakeOption();
    if (ParsePageOption(argument, cursor, options)) continue;
    if (argument == "--to") {
      options.folder = cursor.TakeValue(argument);
    } else if (argument == "--overwrite") {
      options.overwrite = true;
    } else if (argument == "--keep-going") {
      options.keepGoing = true;
    } else if (argument == "--location" || argument == "-L") {
      options.followRedirects = true;
    } else if (argument == "--max-redirs") {
      options.maxRedirects = ParseInt32(cursor.TakeValue(argument), argument);
      if (options.maxRedirects < 1 || options.maxRedirects > kMostRedirects) {
        throw UsageError(argument + ": a count from 1 to " + std::to_string(kMostRedirects));
      }
    } else if (argument == "--untick") {
      const std::int32_t row = ParseInt32(cursor.TakeValue(argument), "--untick");
      if (row < 1) throw UsageError("--untick: rows are numbered from 1");
      options.untick.push_back(row);
    } else if (argument == "--") {
      while (!cursor.Done()) options.downloads.push_back(ParseOfferedFile(cursor.Take()));
    } else if (IsOption(argument)) {
      throw UsageError("download: unknown option " + argument);
    } else {
      options.downloads.push_back(ParseOfferedFile(argument));
    }
  }
  cursor.RefuseUnusedValue();
  if (options.downloads.empty()) throw UsageError("download: name at least one NAME[:SIZE]");
}

void ParseCommand(ArgumentCursor& cursor, Options& options) {
  if (!cursor.Done() && (cursor.Peek() == "--help" || cursor.Peek() == "-h")) {
    options.helpFor = options.command;
    options.command = Command::kHelp;
    return;
  }
  switch (options.command) {
    case Command::kUpload:
      ParseUpload(cursor, options);
      break;
    case Command::kDownload:
      ParseDownload(cursor, options);
      break;
    case Command::kEncode:
    case Command::kDecode:
      if (!cursor.Done() && cursor.Peek().starts_with("--charset")) {
        const std::string option = cursor.TakeOption();
        if (option != "--charset") throw UsageError("encode and decode: unknown option " + option);
        options.charset = cursor.TakeValue(option);
      }
      if (cursor.Done()) throw UsageError("encode and decode take one TEXT");
      options.text = cursor.Take();
      if (!cursor.Done()) throw UsageError("encode and decode take one TEXT");
      break;
    case Command::kCall:
      if (cursor.Done()) throw UsageError("call: name a MEMBER");
      options.member = cursor.Take();
      while (!cursor.Done()) options.arguments.push_back(cursor.Take());
      break;
    case Command::kVersion:
      break;
    case Command::kHelp:
      if (!cursor.Done()) {
        const auto found = kCommands.find(cursor.Take());
        if (found == kCommands.end()) throw UsageError("help: unknown command");
        options.helpFor = found->second;
      }
      break;
  }
}

}  // namespace

std::pair<std::string, std::string> ParseAssignment(const std::string& text, const char* what) {
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos || equals == 0) {
    throw UsageError(std::string(what) + ": '" + text + "' is not NAME=VALUE");
  }
  return {text.substr(0, equals), text.substr(equals + 1)};
}

NamedSize ParseNamedSize(const std::string& text, const char* what) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0) {
    throw UsageError(std::string(what) + ": '" + text + "' is not NAME:SIZE");
  }
  return {text.substr(0, colon), ParseInt32(text.substr(colon + 1), what)};
}

NamedSize ParseOfferedFile(const std::string& text) {
  if (text.empty()) throw UsageError("download: an empty NAME");
  const std::size_t colon = text.rfind(':');
  if (colon == std::string::npos) return {text, 0, false};
  // Sizes are the page's to give, negative ones too.
  std::string_view size = std::string_view(text).substr(colon + 1);
  if (size.starts_with('-')) size.remove_prefix(1);
  const bool sized = !size.empty() && std::all_of(size.begin(), size.end(),
                                                  [](char c) { return c >= '0' && c <= '9'; });
  return sized ? ParseNamedSize(text, "download") : NamedSize{text, 0, false};
}

std::chrono::milliseconds ParseSeconds(const std::string& text, const std::string& option) {
  double seconds = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, seconds);
  // Up to a day, so the milliseconds always fit.
  if (text.empty() || error != std::errc() || stop != end || !(seconds > 0) || seconds > 86400) {
    throw UsageError(option + ": '" + text +
                     "' is not a number of seconds above 0 (at most 86400)");
  }
  return std::chrono::milliseconds(static_cast<std::int64_t>(std::ceil(seconds * 1000)));
}

Options ParseOptions(const std::vector<std::string>& arguments) {
  Options options;
  ArgumentCursor cursor(arguments);
  while (!cursor.Done()) {
    const std::string argument = cursor.TakeOption();
    if (ParsePageOption(argument, cursor, options)) continue;
    cursor.RefuseUnusedValue();
    if (argument == "--help" || argument == "-h") {
      options.command = Command::kHelp;
      return options;
    }
    if (argument == "--version" || argument == "-V") {
      options.command = Command::kVersion;
      return options;
    }
    if (argument.starts_with("-")) throw UsageError("unknown option " + argument);
    const auto found = kCommands.find(argument);
    if (found == kCommands.end()) throw UsageError("unknown command " + argument);
    options.command = found->second;
    ParseCommand(cursor, options);
    if (options.url && options.command != Command::kUpload &&
        options.command != Command::kDownload && options.command != Command::kHelp) {
      throw UsageError("--url: only upload and download send to a server");
    }
    ApplyServerUrl(options);
    // The headers are checked before anything is sent.
    if (options.command == Command::kUpload || options.command == Command::kDownload) {
      HostOptionsOf(options);
    }
    return options;
  }
  throw UsageError("name a command: upload, download, encode, decode or call");
}

}  // namespace veldrask::host
