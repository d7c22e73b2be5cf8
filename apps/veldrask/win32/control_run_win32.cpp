// The Windows host's control: the control DLL in an OLE container (DllSession).

#include <algorithm>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "base/text.h"
#include "commands.h"
#include "control_run.h"
#include "native_path.h"
#include "page_checks.h"
#include "page_params.h"
#include "run.h"
#include "win32/wide_text.h"
#include "win32/win32_code_page.h"

namespace veldrask::host {
namespace {

// Options that need hooks inside the control's exchanges, which only the core linked into
// the POSIX host offers; the DLL shows its transfers in its own windows alone.
void RefuseInProcessOptions(const Options& options) {
  const char* refused = nullptr;
  if (options.verbose) refused = "--verbose";
  if (options.output) refused = "--output";
  if (options.connectTimeout) refused = "--connect-timeout";
  if (options.maxTime) refused = "--max-time";
  if (options.speedTime) refused = "--speed-time";
  if (refused != nullptr) {
    throw UsageError(std::string(refused) +
                     ": not available in veldrask.exe: the control DLL shows its transfers only "
                     "in its own windows");
  }
  // The control checks certificates against the system's store and has no way to skip it.
  if (options.caCertificates || options.insecure) {
    throw UsageError(std::string(options.insecure ? "--insecure" : "--cacert") +
                     ": not available in veldrask.exe: the control DLL trusts the certificates "
                     "of the Windows certificate store");
  }
}

bool SameName(std::string_view a, std::string_view b) {
  return ToUpperAscii(a) == ToUpperAscii(b);
}

// The page's parameters with the --param values over them (names without regard to case).
container::Params PageParamsWithOverrides(const Options& options) {
  container::Params params;
  if (options.page) {
    const std::filesystem::path file(win32::Widen(NativePath(*options.page)));
    params = ReadPageParamsFromFile(file, *options.page);
  }
  for (const auto& [name, value] : options.params) {
    auto same = std::find_if(params.begin(), params.end(),
                             [&](const auto& param) { return SameName(param.first, name); });
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
    if (SameName(key, name)) return value;
  }
  return {};
}

}  // namespace

int RunWithControl(const Options& options, std::ostream& out, Console& console) {
  RefuseInProcessOptions(options);
  // The page is read before the control starts, so a bad page leaves no trace.
  DllSessionSettings settings{.cookie = options.cookie.value_or(""),
                              .params = PageParamsWithOverrides(options),
                              .downloadFolder = std::nullopt,
                              .followTransfers = !options.quiet};
  if (options.command == Command::kDownload && options.folder) {
    settings.downloadFolder = FolderPath(*options.folder);
  }
  std::unique_ptr<DllSession> session;
  try {
    session = std::make_unique<DllSession>(console, settings);
  } catch (const ParamLoadFailure& failure) {
    // The container refuses the page: the control never ran.
    console.Print("veldrask: the page's parameters: " + failure.Name() + "='" +
                  ValueOf(settings.params, failure.Name()) + "': " + FormatErrorMessage(failure));
    return kExitUsage;
  }
  if (!settings.params.empty()) CheckParamNames(options, session->ParamNamesRead());
  if (options.command != Command::kCall) {
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
        RunDownload(*session, options);
        break;
      case Command::kCall:
        RunCall(*session, options, out);
        break;
      default:
        throw std::logic_error("not a command of the control");
    }
  } catch (const Error& error) {
    if (SayCommandError(options, error, console)) return kExitUsage;
    return ConsoleInterrupt::Interrupted() ? ConsoleInterrupt::kExitStatus : kExitRefused;
  }
  if (ConsoleInterrupt::Interrupted()) return ConsoleInterrupt::kExitStatus;
  return session->MessageShown() || !truthful ? kExitRefused : kExitOk;
}

std::unique_ptr<CodePage> MakeAnsiCodePage() {
  return std::make_unique<win32::Win32CodePage>();
}

}  // namespace veldrask::host
