#include "run.h"

#include <optional>
#include <stdexcept>

#include "base/error.h"
#include "commands.h"
#include "common/engine_title.h"
#include "common/url_encoding.h"
#include "help.h"
#include "map_property_bag.h"
#include "options.h"
#include "page_params.h"
#include "posix/iconv_code_page.h"

namespace veldrask::host {
namespace {

// Errors of the call itself rather than refusals of the member: nothing was done.
bool IsCallingError(const Error& error) {
  const std::int32_t number = error.Number();
  return number == static_cast<std::int32_t>(ErrorNumber::kMemberNotFound) ||
         number == static_cast<std::int32_t>(ErrorNumber::kArgumentNotOptional) ||
         number == static_cast<std::int32_t>(ErrorNumber::kWrongArgumentCount);
}

int RunText(const Options& options, std::ostream& out, Console& console) {
  const posix::IconvCodePage ansi;
  try {
    out << (options.command == Command::kEncode ? UrlEncode(options.text, ansi)
                                                : UrlDecode(options.text, ansi))
        << '\n'
        << std::flush;
    return kExitOk;
  } catch (const Error& error) {
    console.Print(FormatErrorMessage(error));
    return kExitRefused;
  }
}

// The page's parameters and the --param values; none when neither was given.
std::optional<MapPropertyBag> PageBag(const Options& options) {
  if (!options.page && options.params.empty()) return std::nullopt;
  MapPropertyBag bag;
  if (options.page) bag = MapPropertyBag(ReadPageParamsFromFile(*options.page));
  for (const auto& [name, value] : options.params) bag.Set(name, value);
  return bag;
}

int RunWithControl(const Options& options, std::ostream& out, Console& console) {
  // The page is read before the control starts, so a bad page leaves no trace.
  std::optional<MapPropertyBag> bag = PageBag(options);
  ControlSession session(console, options.cookie.value_or(""), !options.quiet);
  try {
    if (bag) {
      session.Control().Load(*bag);
    } else {
      session.Control().InitNew();
    }
  } catch (const Error& error) {
    // The container refuses the page: the control never ran.
    console.Print("veldrask: the page's parameters: " + FormatErrorMessage(error));
    return kExitUsage;
  }
  try {
    switch (options.command) {
      case Command::kUpload:
        RunUpload(session, options, out);
        break;
      case Command::kDownload:
        RunDownload(session, options);
        break;
      case Command::kCall:
        RunCall(session, options, out);
        break;
      default:
        throw std::logic_error("not a command of the control");
    }
  } catch (const Error& error) {
    console.Print((options.command == Command::kCall ? "veldrask: call " + options.member + ": "
                                                     : std::string()) +
                  FormatErrorMessage(error));
    if (options.command == Command::kCall && IsCallingError(error)) return kExitUsage;
    return session.Interrupted() ? InterruptWatch::ExitStatus() : kExitRefused;
  }
  if (session.Interrupted()) return InterruptWatch::ExitStatus();
  return session.MessageShown() ? kExitRefused : kExitOk;
}

}  // namespace

int Run(const std::vector<std::string>& arguments, std::ostream& out, Console& console) {
  try {
    const Options options = ParseOptions(arguments);
    switch (options.command) {
      case Command::kHelp:
        out << HelpText(options.helpFor);
        return kExitOk;
      case Command::kVersion:
        out << "veldrask (" << kEngineTitle << ")\n";
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

}  // namespace veldrask::host
