// The download command: what a user and the page's script do on the download screen.

#include <algorithm>
#include <filesystem>
#include <string>

#include "base/text.h"
#include "command_plan.h"
#include "commands.h"
#include "download_folder.h"
#include "headless/list_view.h"
#include "page_checks.h"

namespace veldrask::host {
namespace {

constexpr std::string_view kList = "DownloadFileList";

// The folder as the folder browser gives it: absolute, no trailing separator but for "/".
std::string ChosenFolder(const std::string& argument) {
  if (argument.empty()) throw UsageError("--to: an empty folder name");
  std::string folder = std::filesystem::absolute(argument).lexically_normal().string();
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  MakeDownloadFolder(folder, folder);
  return folder;
}

std::string Why(const DownloadReport& report) {
  const std::string status =
      report.reason.empty() ? report.statusCode : report.statusCode + " " + report.reason;
  switch (report.end) {
    case DownloadEnd::kRefused:
      return (report.statusCode == "404" ? "not found (" : "refused (") + status + ")";
    case DownloadEnd::kConnection:
      return "connection failed (" + report.detail + ")";
    case DownloadEnd::kCutShort:
      return "short body: the server closed after " + ToDecimal(report.written) +
             (report.contentLength ? " of " + std::to_string(*report.contentLength) : "") +
             " bytes";
    case DownloadEnd::kUnreadable:
      return "unreadable response" + (report.detail.empty() ? "" : " (" + report.detail + ")");
    case DownloadEnd::kNotWritable:
      return "could not be written to the folder";
    case DownloadEnd::kStopped:
      return "stopped while under way";
    case DownloadEnd::kNotAsked:
      return "skipped: never asked for, the session had stopped";
    case DownloadEnd::kDone:
      break;
  }
  return "done";
}

// Says how every ticked file ended; true when all of them arrived.
bool ReportDownloads(ControlSession& session, const Options& options) {
  bool allDone = true;
  for (const DownloadReport& report : session.Exchange().Downloads()) {
    const std::string prefix = "veldrask: download: " + report.key + ": ";
    if (report.end != DownloadEnd::kDone) {
      allDone = false;
      const bool silent = report.end == DownloadEnd::kCutShort && report.statusCode.empty();
      session.Output().Print(prefix + Why(report) +
                             (silent ? SilentCloseHint(session.Control().HostName()) : ""));
      continue;
    }
    const auto given = std::find_if(options.downloads.begin(), options.downloads.end(),
                                    [&](const NamedSize& file) { return file.name == report.key; });
    const bool sizeGiven = given != options.downloads.end() && given->sizeGiven;
    if (sizeGiven && report.contentLength &&
        *report.contentLength != static_cast<std::uint64_t>(report.announced)) {
      session.Output().Print(prefix + "the server's Content-Length " +
                             std::to_string(*report.contentLength) + " differs from the SIZE " +
                             ToDecimal(report.announced) + " given; saved " +
                             ToDecimal(report.written) + " bytes");
    }
  }
  return allDone;
}

}  // namespace

bool RunDownload(ControlSession& session, const Options& options) {
  UploaderControl& control = session.Control();
  headless::HeadlessForm& surface = session.Surface();
  const std::optional<std::string> folder =
      options.folder ? std::optional(ChosenFolder(*options.folder)) : std::nullopt;

  // The page's script shows the download screen and lists what the server offers.
  if (control.UpDownload() == "0") control.SetUpDownload("1");
  for (const NamedSize& file : options.downloads) control.AddDownloadFile(file.name, file.size);
  // The control lists a name once; a second one is said here rather than dropped unseen.
  for (const std::string& line : RepeatedDownloads(options)) session.Output().Print(line);

  auto& list = surface.Get<headless::HeadlessListView>(kList);
  for (const std::int32_t row : options.untick) {
    if (row > list.RowCount()) {
      throw UsageError("--untick " + ToDecimal(row) + ": the list has " +
                       ToDecimal(list.RowCount()) + " rows");
    }
  }

  if (folder) {
    session.Ui().SetFolderAnswer([folder](std::string_view) { return folder; });
    surface.Click("cmdSelFolder");
    session.Ui().SetFolderAnswer(nullptr);
  }
  if (options.overwrite && surface.Get("chkDupFile").Value() != 1) surface.Click("chkDupFile");
  for (const std::int32_t row : options.untick) {
    if (list.Checked(row)) surface.TickRow(kList, row, false);
  }

  if (session.Interrupted()) return true;
  session.StartClock();
  surface.Click("cmdDownload");
  return ReportDownloads(session, options);
}

}  // namespace veldrask::host
