// The download command: what a user and the page's script do on the download screen.

#include <algorithm>
#include <filesystem>
#include <string>

#include "base/text.h"
#include "command_plan.h"
#include "commands.h"
#include "control_run.h"
#include "download_folder.h"
#include "download_names.h"
#include "download_reports.h"
#include "headless/list_view.h"
#include "page_checks.h"
#include "retry.h"

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

}  // namespace

bool RunDownload(ControlSession& session, const Options& given) {
  UploaderControl& control = session.Control();
  const Options options = WithNamesAsSent(given, control.Charset(), *MakeAnsiCodePage());
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
  const std::vector<DownloadReport> reports = DownloadRetrying(
      session, options, list.RowCount(), InterruptWatch::Interrupted,
      [&] { surface.Click("cmdDownload"); },
      [&](std::int32_t row, bool ticked) {
        if (list.Checked(row) != ticked) surface.TickRow(kList, row, ticked);
      });
  return ReportDownloads(reports, options, session.Output(), control.HostName(), control.Charset());
}

}  // namespace veldrask::host
