#include "download/download_list.h"

#include <charconv>

#include "base/checked.h"
#include "base/text.h"
#include "common/captions.h"
#include "common/engine_title.h"
#include "common/named_file_icon.h"
#include "common/path_names.h"
#include "common/request_charset.h"
#include "common/url_encoding.h"
#include "common/utf8_url_encoding.h"
#include "download/download_window.h"

namespace veldrask {
namespace {

constexpr std::string_view kFolderBrowserTitle = "폴더를 선택하여 주세요";
constexpr std::string_view kNothingTicked = "다운로드할 파일을 선택하세요.";
constexpr std::string_view kNoFolderProgram = "다운로드 폴더를 열 수 있는 프로그램이 없습니다.";

// Runs one step of a sequence whose failing steps are skipped.
template <typename Step>
void Skippable(Step step) {
  try {
    step();
  } catch (const Error&) {
    // The next step runs regardless.
  }
}

std::string CountCaption(std::int16_t count) {
  return ToDecimal(count) + " 개";
}

}  // namespace

template <typename Action>
void DownloadList::Guarded(Action action) {
  ShowingErrors(action, [this](const Error& error) { ShowFailure(error); });
}

DownloadList::DownloadList(Platform& platform, ControlSurface& surface,
                           const Properties& properties, RegistrySettings& registry,
                           std::string& downloadFolder, FileIcons& icons)
    : platform_(platform),
      surface_(surface),
      properties_(properties),
      registry_(registry),
      downloadFolder_(downloadFolder),
      icons_(icons) {
  ListView& list = surface_.downloadFileList;
  list.SetOnItemCheck(
      [this](std::int32_t row) { Guarded([&] { DownloadFileList_ItemCheck(row); }); });
  list.SetOnColumnClick(
      [this](std::int32_t column) { Guarded([&] { DownloadFileList_ColumnClick(column); }); });
  surface_.cmdDownload.SetOnClick([this] { Guarded([&] { cmdDownload_Click(); }); });
  surface_.cmdSelFolder.SetOnClick([this] { Guarded([&] { cmdSelFolder_Click(); }); });
  surface_.cmdFolderView.SetOnClick([this] { Guarded([&] { cmdFolderView_Click(); }); });
}

bool DownloadList::NamesInUtf8() const {
  return NamesUtf8(properties_.charset);
}

void DownloadList::AddDownloadFile(std::string_view name, std::int32_t size) {
  ListView& list = surface_.downloadFileList;
  // The control's list refuses a key it holds; a second listing of a server path would
  // count a row that does not exist.
  if (list.HasKey(name)) return;
  std::string fileName;
  bool decoded = false;
  Skippable([&] {
    const std::string path = DecodeServerPath(name, platform_.ansi, NamesInUtf8());
    fileName = std::string(AfterLast(path, "/"));
    decoded = true;
  });
  std::int32_t row = 0;
  Skippable([&] {
    row = list.AddRow(downloadKeySeq_, name, fileName).value_or(0);
    if (row == 0) return;
    list.SetChecked(row, true);
    list.SetSubItem(row, 1, FormatN0(size, platform_.locale.Numbers()));
    list.SetToolTip(row, fileName);
  });
  if (row != 0 && decoded) {
    Skippable([&] {
      const std::string key = ExtensionKey(fileName, "/");
      const std::string typeName =
          AddFileIconForName(icons_, platform_.files, fileName, key, downloadFolder_);
      list.SetSubItem(row, 2, typeName);
      list.SetIconKeys(row, key, key);
    });
  }
  Skippable([&] { downloadKeySeq_ = CheckedAdd<std::int16_t>(downloadKeySeq_, 1); });
  Skippable([&] { downloadCount_ = CheckedAdd<std::int16_t>(downloadCount_, 1); });
  Skippable([&] { downloadTotalSize_ = CheckedAdd(downloadTotalSize_, size); });
  ShowTotals(downloadCount_, downloadTotalSize_);
  checkedCount_ = downloadCount_;
  checkedSize_ = downloadTotalSize_;
}

bool DownloadList::CheckDupFile() const {
  return surface_.chkDupFile.Value() != 0;
}

std::string DownloadList::EngTitleVer() const {
  return std::string(kEngineTitle);
}

void DownloadList::DownloadFileList_ItemCheck(std::int32_t row) {
  const ListView& list = surface_.downloadFileList;
  const std::int32_t size = RowSize(row);
  if (list.Checked(row)) {
    checkedCount_ = CheckedAdd<std::int16_t>(checkedCount_, 1);
    checkedSize_ = CheckedAdd(checkedSize_, size);
  } else {
    checkedCount_ = CheckedSub<std::int16_t>(checkedCount_, 1);
    checkedSize_ = CheckedSub(checkedSize_, size);
  }
  ShowTotals(checkedCount_, checkedSize_);
}

void DownloadList::DownloadFileList_ColumnClick(std::int32_t column) {
  // Only the name column acts; no header sorts the list.
  if (column != 1) return;
  ListView& list = surface_.downloadFileList;
  const bool tick = !checkAllState_;
  for (std::int32_t row = 1; row <= list.RowCount(); ++row) list.SetChecked(row, tick);
  checkedCount_ = tick ? downloadCount_ : std::int16_t{0};
  checkedSize_ = tick ? downloadTotalSize_ : 0;
  checkAllState_ = !checkAllState_;
  ShowTotals(checkedCount_, checkedSize_);
}

void DownloadList::cmdDownload_Click() {
  const ListView& list = surface_.downloadFileList;
  downFiles_.assign(1, AttachedFile{});
  for (std::int32_t row = 1; row <= list.RowCount(); ++row) {
    if (!list.Checked(row)) continue;
    Skippable([&] {
      AttachedFile entry{
          .key = list.RowKey(row), .name = list.RowText(row), .size = RowSize(row), .header = {}};
      downFiles_.back() = std::move(entry);
      downFiles_.emplace_back();
    });
  }
  if (downFiles_.size() == 1) {
    platform_.ui.ShowMessage(kNothingTicked, MessageIcon::kNone, std::nullopt);
    return;
  }
  DownloadWindow window(platform_, *this, surface_.form.get(), &surface_.smallIconImageList,
                        &surface_.largeIconImageList);
  window.ShowModal();
}

void DownloadList::cmdSelFolder_Click() {
  const std::string previous =
      registry_.ReadString(kLocalMachine, kSettingsKeyPath, kDownPathValueName);
  std::string chosen = platform_.ui.BrowseForFolder(kFolderBrowserTitle);
  if (TrimSpaces(chosen).empty()) {
    surface_.lblDownloadFolder.SetCaption(previous);
    downloadFolder_ = previous;
    return;
  }
  surface_.lblDownloadFolder.SetCaption(chosen);
  downloadFolder_ = std::move(chosen);
  registry_.SaveString(kLocalMachine, kSettingsKeyPath, kDownPathValueName, downloadFolder_);
}

void DownloadList::cmdFolderView_Click() {
  FileSystem& files = platform_.files;
  if (!files.FolderExists(downloadFolder_)) files.CreateFolder(downloadFolder_);
  if (!platform_.shell.OpenFolder(downloadFolder_)) {
    platform_.ui.ShowMessage(std::string(kNoFolderProgram) + "\r\n\r\n" + downloadFolder_,
                             MessageIcon::kInformation, std::nullopt);
  }
}

std::int32_t DownloadList::RowSize(std::int32_t row) const {
  const std::string grouped = surface_.downloadFileList.SubItem(row, 1);
  const std::string digits = ReplaceAll(grouped, platform_.locale.Numbers().groupSeparator, "");
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size() || digits.empty()) {
    throw Error(ErrorNumber::kTypeMismatch);
  }
  return CheckedNarrow<std::int32_t>(value);
}

void DownloadList::ShowTotals(std::int16_t count, std::int32_t size) {
  surface_.lblDNTotalFileCount.SetCaption(CountCaption(count));
  surface_.lblDNTotalFileSize.SetCaption(
      KilobyteCaption(size / 1024.0, platform_.locale.Numbers()));
}

void DownloadList::ShowFailure(const Error& error) {
  platform_.ui.ShowMessage(FormatErrorMessage(error), MessageIcon::kCritical, std::nullopt);
}

}  // namespace veldrask
