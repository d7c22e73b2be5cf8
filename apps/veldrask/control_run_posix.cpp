// The POSIX host's control: the core itself on the POSIX platform and the in-memory user
// interface (ControlSession).

#include <memory>
#include <optional>
#include <stdexcept>

#include "base/error.h"
#include "commands.h"
#include "control_run.h"
#include "map_property_bag.h"
#include "page_checks.h"
#include "page_params.h"
#include "posix/iconv_code_page.h"
#include "request_options.h"
#include "run.h"

namespace veldrask::host {
namespace {

// The page's parameters and the --param values; none when neither was given.
std::optional<MapPropertyBag> PageBag(const Options& options) {
  if (!options.page && options.params.empty()) return std::nullopt;
  MapPropertyBag bag;
  if (options.page) bag = MapPropertyBag(ReadPageParamsFromFile(*options.page));
  for (const auto& [name, value] : options.params) bag.Set(name, value);
  return bag;
}

}  // namespace

int RunWithControl(const Options& options, std::ostream& out, Console& console) {
  // The page is read before the control starts, so a bad page leaves no trace.
  std::optional<MapPropertyBag> bag = PageBag(options);
  ControlSession session(console,
                         SessionSettings{
                             .cookie = options.cookie.value_or(""),
                             .drawProgress = !options.quiet,
                             .verbose = options.verbose,
                             .limits = {.connect = options.connectTimeout,
                                        .total = options.maxTime,
                                        .stall = options.speedTime},
                             .tlsTrust = {options.caCertificates.value_or(""), !options.insecure},
                         });
  if (options.insecure) console.Print(kInsecureWarning);
  try {
    if (bag) {
      session.Control().Load(*bag);
    } else {
      session.Control().InitNew();
    }
  } catch (const Error& error) {
    // The container refuses the page: the control never ran. The bag's last name read is the
    // parameter that did not convert.
    std::string culprit;
    std::string note;
    if (bag && !bag->NamesRead().empty()) {
      const std::string& name = bag->NamesRead().back();
      culprit = name + "='" + bag->Text(name) + "': ";
      note = ParamLoadNote(name, error);
    }
    console.Print("veldrask: the page's parameters: " + culprit + FormatErrorMessage(error) + note);
    return kExitUsage;
  }
  if (bag) CheckParamNames(options, bag->NamesRead());
  session.Control().SetHostOptions(HostOptionsOf(options));
  if (options.command != Command::kCall) {
    CheckServerParams(session.Control().HostName(), session.Control().ActionURL(), options.command);
    const std::string notice = CheckHostName(session.Control().HostName(),
                                             session.Control().ServerPort(), options.command);
    if (!notice.empty()) console.Print(notice);
  }
  bool truthful = true;
  try {
    switch (options.command) {
      case Command::kUpload:
        truthful = RunUpload(session, options, out);
        break;
      case Command::kDownload:
        truthful = RunDownload(session, options);
        break;
      case Command::kCall:
        RunCall(session, options, out);
        break;
      default:
        throw std::logic_error("not a command of the control");
    }
  } catch (const Error& error) {
    if (SayCommandError(options, error, console)) return kExitUsage;
    if (session.Interrupted()) return InterruptWatch::ExitStatus();
    return session.TimedOut() ? kExitTimedOut : session.Exchange().FailureStatus();
  }
  if (session.Interrupted()) return InterruptWatch::ExitStatus();
  if (const std::optional<TimeLimit> limit = session.TimedOut()) {
    console.Print(StoppedByText(*limit, session.Limits().Settings()));
    return kExitTimedOut;
  }
  return session.MessageShown() || !truthful ? session.Exchange().FailureStatus() : kExitOk;
}

std::unique_ptr<CodePage> MakeAnsiCodePage() {
  return std::make_unique<posix::IconvCodePage>();
}

}  // namespace veldrask::host
