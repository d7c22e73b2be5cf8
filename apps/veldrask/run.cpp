#include "run.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "base/error.h"
#include "common/engine_title.h"
#include "common/request_charset.h"
#include "common/url_encoding.h"
#include "common/utf8_url_encoding.h"
#include "control_run.h"
#include "help.h"
#include "options.h"
#include "page_params.h"
#include "upload/utf8_code_page.h"
#include "version.h"

namespace veldrask::host {
namespace {

int RunText(const Options& options, std::ostream& out, Console& console) {
  const std::unique_ptr<CodePage> ansi = MakeAnsiCodePage();
  const Utf8CodePage utf8;
  const bool encode = options.command == Command::kEncode;
  try {
    if (&RequestCodePage(options.charset, *ansi, utf8) == &utf8) {
      out << (encode ? UrlEncodeUtf8(options.text) : UrlDecodeUtf8(options.text)) << '\n';
    } else {
      out << (encode ? UrlEncode(options.text, *ansi) : UrlDecode(options.text, *ansi)) << '\n';
    }
    out << std::flush;
    return kExitOk;
  } catch (const Error& error) {
    console.Print(FormatErrorMessage(error));
    return kExitRefused;
  }
}

}  // namespace

bool SayCommandError(const Options& options, const Error& error, Console& console) {
  const bool call = options.command == Command::kCall;
  console.Print((call ? "veldrask: call " + options.member + ": " : std::string()) +
                FormatErrorMessage(error));
  return call &&
         (error.Is(ErrorNumber::kMemberNotFound) || error.Is(ErrorNumber::kArgumentNotOptional) ||
          error.Is(ErrorNumber::kWrongArgumentCount));
}

int Run(const std::vector<std::string>& arguments, std::ostream& out, Console& console) {
  try {
    const Options options = ParseOptions(arguments);
    switch (options.command) {
      case Command::kHelp:
        out << HelpText(options.helpFor);
        return kExitOk;
      case Command::kVersion:
        out << "veldrask " << kToolVersion << " (commit " << kToolCommit << ")\n"
            << "control: " << kEngineTitle << "\n";
        return kExitOk;
      case Command::kEncode:
      case Command::kDecode:
        return RunText(options, out, console);
      case Command::kUpload:
      case Command::kDownload:
      case Command::kCall:
        return RunWithControl(options, out, console);
    }
  } catch (const UsageError& error) {
    console.Print("veldrask: " + std::string(error.what()) +
                  "\nTry 'veldrask --help' for more information.");
    return kExitUsage;
  } catch (const PageError& error) {
    console.Print("veldrask: " + std::string(error.what()));
    return kExitUsage;
  } catch (const Error& error) {
    console.Print("veldrask: " + FormatErrorMessage(error));
    return kExitRefused;
  } catch (const std::exception& error) {
    // Not the control's refusal nor the user's mistake: the host or the system failed.
    console.Print("veldrask: " + std::string(error.what()));
    return kExitRefused;
  }
  return kExitUsage;
}

int FinishStdout(int status, std::ostream& out, Console& console) {
  errno = 0;
  out.flush();
  int failure = out ? 0 : errno;
  const bool written = static_cast<bool>(out);
  errno = 0;
  // Closing reports what a file system keeps for the close (NFS, a full quota).
  const bool closed = std::fclose(stdout) == 0;
  if (!closed && failure == 0) failure = errno;
  if (written && closed) return status;
  console.Print(std::string("veldrask: stdout: write failed") +
                (failure != 0 ? std::string(" (") + std::strerror(failure) + ")" : ""));
  return status == kExitOk ? kExitRefused : status;
}

}  // namespace veldrask::host
