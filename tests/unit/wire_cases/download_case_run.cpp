#include "download_case_run.h"

#include <fstream>

#include "control_entries.h"
#include "download/download_window.h"
#include "unit/download/fake_owner.h"

namespace veldrask::testing {
namespace {

constexpr std::string_view kForm = "frmDNProcess";

void SetUp(const CaseSection& section, const ControlEntry& entry, const CaseWords& words,
           FakeOwner& owner, std::vector<std::string>& closeWhen) {
  const std::string value = RenderText(entry.value, words);
  if (entry.setting && entry.name == "HostName") {
    owner.host = value;
  } else if (entry.setting && entry.name == "ServerPort") {
    owner.port = static_cast<std::int16_t>(EntryNumber(section, entry));
  } else if (entry.setting && entry.name == "CheckDupFile") {
    owner.overwrite = EntryNumber(section, entry) != 0;
  } else if (entry.setting && entry.name == "Charset") {
    owner.utf8Names = value == "UTF-8";
  } else if (!entry.setting && entry.name == "download") {
    const std::vector<std::string> row = RenderWords(entry.value, words);
    if (row.size() != 3) section.Fail(entry.line, "download KEY NAME SIZE");
    owner.Add(row[0], row[1], std::stoi(row[2]));
  } else if (!entry.setting && entry.name == "close") {
    closeWhen = RenderWords(entry.value, words);
    if (closeWhen.size() < 3 || closeWhen[0] != "when") {
      section.Fail(entry.line, "close when WIDGET TEXT");
    }
  } else {
    section.Fail(entry.line, "no such download entry: " + entry.name);
  }
}

void PutFiles(const std::filesystem::path& folder, const CaseRun& run, const CaseWords& words) {
  for (const CaseSection& file : run.files) {
    std::filesystem::create_directories(folder);
    const std::string name = RenderText(file.arguments.empty() ? "" : file.arguments[0], words);
    const std::string content = RenderData(file, words);
    std::ofstream out(folder / name, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out) file.Fail(file.number, "cannot write " + name);
  }
}

}  // namespace

ObservedRun RunDownloadCase(const DownloadBench& bench, const CaseRun& run,
                            const CaseWords& words) {
  FakeOwner owner;
  owner.folder = bench.folder.string();
  std::vector<std::string> closeWhen;
  for (const ControlEntry& entry : ControlEntries(run.control)) {
    try {
      SetUp(run.control, entry, words, owner, closeWhen);
    } catch (const CaseError& error) {
      run.control.Fail(entry.line, error.what());
    }
  }
  if (bench.host) owner.host = *bench.host;
  if (bench.port) owner.port = *bench.port;
  PutFiles(bench.folder, run, words);

  // The user gives up once the widget shows the text, as someone watching the window would.
  std::optional<headless::ObserverId> watch;
  if (!closeWhen.empty()) {
    std::string text;
    for (std::size_t w = 2; w < closeWhen.size(); ++w) text += (w > 2 ? " " : "") + closeWhen[w];
    watch =
        bench.ui.OnChange(std::string(kForm), closeWhen[1],
                          [&bench, text, closed = false](headless::HeadlessWidget& widget) mutable {
                            if (closed || !widget.Caption().starts_with(text)) return;
                            closed = true;
                            bench.ui.PostUserClose(std::string(kForm));
                          });
  }
  const std::size_t shownBefore = bench.ui.Messages().size();
  DownloadWindow window(bench.platform, owner, nullptr, nullptr, nullptr);
  window.ShowModal();
  if (watch) bench.ui.RemoveObserver(*watch);

  ObservedRun observed;
  ReadWindow(bench.ui, kForm, "DownloadFileList", observed);
  const auto& messages = bench.ui.Messages();
  observed.messages.assign(messages.begin() + static_cast<std::ptrdiff_t>(shownBefore),
                           messages.end());
  observed.folder = bench.folder;
  observed.reports = owner.reports.ended;
  return observed;
}

}  // namespace veldrask::testing
