// The download command on the control DLL: the script lists the files, the user ticks and
// clicks.

#include <string>

#include "base/text.h"
#include "command_plan.h"
#include "commands.h"
#include "control_run.h"
#include "download_names.h"
#include "download_reports.h"
#include "retry.h"
#include "surface_windows.h"

namespace veldrask::host {
namespace {

constexpr char kDownloadButton[] = "다운로드";
constexpr char kOverwriteBox[] = "덮어쓰기";

}  // namespace

bool RunDownload(DllSession& session, const Options& given) {
  const std::string charset = session.Get("Charset");
  const Options options = WithNamesAsSent(given, charset, *MakeAnsiCodePage());
  // The page's script shows the download screen and lists what the server offers.
  if (session.Get("UpDownload") == "0") session.Put("UpDownload", "1");
  for (const NamedSize& file : options.downloads) {
    session.Call("AddDownloadFile", {file.name, ToDecimal(file.size)});
  }
  // The control lists a name once; a second one is said here rather than dropped unseen.
  for (const std::string& line : RepeatedDownloads(options)) session.Output().Print(line);

  const HWND page = session.Host().PageWindow();
  const HWND list = VisibleList(page);
  const int rows = list != nullptr ? RowCount(list) : 0;
  for (const std::int32_t row : options.untick) {
    if (row > rows) {
      throw UsageError("--untick " + ToDecimal(row) + ": the list has " + ToDecimal(rows) +
                       " rows");
    }
  }
  if (options.overwrite && !BoxTicked(page, kOverwriteBox)) {
    session.Host().ClickButton(kOverwriteBox);
  }
  for (const std::int32_t row : options.untick) {
    if (RowTicked(list, row)) TickRow(list, row, false);
  }
  if (ConsoleInterrupt::Interrupted()) return true;
  session.StartClock();
  const std::vector<DownloadReport> reports = DownloadRetrying(
      session, options, rows, ConsoleInterrupt::Interrupted,
      [&] {
        session.Host().ClickButton(kDownloadButton);
        session.TransferEnded();
      },
      [&](std::int32_t row, bool ticked) {
        if (RowTicked(list, row) != ticked) TickRow(list, row, ticked);
      });
  return ReportDownloads(reports, options, session.Output(), session.Get("HostName"), charset);
}

}  // namespace veldrask::host
