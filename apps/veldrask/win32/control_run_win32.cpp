// The Windows host's control: the control DLL in an OLE container (DllSession).

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

#include "commands.h"
#include "control_run.h"
#include "http/field_text.h"
#include "native_path.h"
#include "page_checks.h"
#include "page_params.h"
#include "request_options.h"
#include "run.h"
#include "win32/wide_text.h"
#include "win32/win32_code_page.h"

namespace veldrask::host {
namespace {

// The --cacert file's text, read before the control starts.
std::optional<std::string> TrustedRoots(const Options& options) {
  if (!options.caCertificates) return std::nullopt;
  std::ifstream file(std::filesystem::path(win32::Widen(NativePath(*options.caCertificates))),
                     std::ios::binary);
  std::string text;
  if (file) text.assign(std::istreambuf_iterator<char>(file), {});
  if (!file.is_open() || file.bad()) {
    throw UsageError("--cacert: " + *options.caCertificates + ": cannot be read");
  }
  return text;
}

// The page's parameters with the --param values over them (names without regard to case).
container::Params PageParamsWithOverrides(const Options& options) {
  container::Params params;
  if (options.page) {
    const std::filesystem::path file(win32::Widen(NativePath(*options.page)));
    params = ReadPageParamsFromFile(file, *options.page);
  }
  for (const auto& [name, value] : options.params) {
    auto same = std::find_if(params.begin(), params.end(), [&](const auto& param) {
      return http_text::EqualsIgnoreCase(param.first, name);
    });
    if (same != params.end()) {
      same->second = value;
    } else {
      params.emplace_back(name, value);
    }
  }
  return params;
}

std::string ValueOf(const container::Params& params, std::string_view name) {
  for (const auto& [key, value] : params) {
    if (http_text::EqualsIgnoreCase(key, name)) return value;
  }
  return {};
}

}  // namespace

int RunWithControl(const Options& options, std::ostream& out, Console& console) {
  // The page is read before the control starts, so a bad page leaves no trace.
  DllSessionSettings settings{.cookie = options.cookie.value_or(""),
                              .params = PageParamsWithOverrides(options),
                              .downloadFolder = std::nullopt,
                              .followTransfers = !options.quiet,
                              .verbose = options.verbose,
                              .limits = {.connect = options.connectTimeout,
                                         .total = options.maxTime,
                                         .stall = options.speedTime},
                              .trustedRoots = TrustedRoots(options),
                              .checkCertificates = !options.insecure,
                              .hostOptions = HostOptionsOf(options)};
  if (options.command == Command::kDownload && options.folder) {
    settings.downloadFolder = FolderPath(*options.folder);
  }
  if (options.insecure) console.Print(kInsecureWarning);
  std::unique_ptr<DllSession> session;
  try {
    session = std::make_unique<DllSession>(console, settings);
  } catch (const ParamLoadFailure& failure) {
    // The container refuses the page: the control never ran.
    console.Print("veldrask: the page's parameters: " + failure.Name() + "='" +
                  ValueOf(settings.params, failure.Name()) + "': " + FormatErrorMessage(failure) +
                  ParamLoadNote(failure.Name(), failure));
    return kExitUsage;
  }
  if (!settings.params.empty()) CheckParamNames(options, session->ParamNamesRead());
  if (options.command != Command::kCall) {
    CheckServerParams(session->Get("HostName"), session->Get("ActionURL"), options.command);
    const std::string notice = CheckHostName(
        session->Get("HostName"), std::stoi(session->Get("ServerPort")), options.command);
    if (!notice.empty()) console.Print(notice);
  }
  bool truthful = true;
  try {
    switch (options.command) {
      case Command::kUpload:
        truthful = RunUpload(*session, options, out);
        break;
      case Command::kDownload:
        truthful = RunDownload(*session, options);
        break;
      case Command::kCall:
        RunCall(*session, options, out);
        break;
      default:
        throw std::logic_error("not a command of the control");
    }
  } catch (const Error& error) {
    if (SayCommandError(options, error, console)) return kExitUsage;
    if (ConsoleInterrupt::Interrupted()) return ConsoleInterrupt::kExitStatus;
    return session->TimedOut() ? kExitTimedOut : session->Exchange().FailureStatus();
  }
  if (ConsoleInterrupt::Interrupted()) return ConsoleInterrupt::kExitStatus;
  if (const std::optional<TimeLimit> limit = session->TimedOut()) {
    console.Print(StoppedByText(*limit, session->Limits().Settings()));
    return kExitTimedOut;
  }
  return session->MessageShown() || !truthful ? session->Exchange().FailureStatus() : kExitOk;
}

std::unique_ptr<CodePage> MakeAnsiCodePage() {
  return std::make_unique<win32::Win32CodePage>();
}

}  // namespace veldrask::host
