#include "queue/upload_queue.h"

#include "base/checked.h"
#include "base/text.h"
#include "base/variant.h"
#include "common/named_file_icon.h"
#include "common/path_names.h"
#include "common/url_encoding.h"
#include "queue/queue_messages.h"

namespace veldrask {
namespace {

constexpr std::string_view kListSeparator = "<";

// A size column's text back as bytes: the user's digit grouping removed, then read as a
// number, so "1,234,567" gives 1234567 rather than its leading digits.
std::int32_t ReadSizeText(std::string_view text, const NumberStyle& numbers) {
  return Variant(ReplaceAll(text, numbers.groupSeparator, "")).ToInt32();
}

// The file name of a server path: the decoded text after its last "/". A name that does
// not decode is shown as the page wrote it rather than as nothing.
std::string ServerFileName(std::string_view name, const CodePage& ansi) {
  std::string decoded;
  try {
    decoded = UrlDecode(name, ansi);
  } catch (const Error&) {
    decoded = name;
  }
  return std::string(AfterLast(decoded, "/"));
}

// Hides a list while rows leave it and shows it as it was afterwards, also on failure.
class HiddenWhileChanging {
 public:
  explicit HiddenWhileChanging(Widget& widget) : widget_(widget), wasVisible_(widget.Visible()) {
    widget_.SetVisible(false);
  }
  ~HiddenWhileChanging() { widget_.SetVisible(wasVisible_); }
  HiddenWhileChanging(const HiddenWhileChanging&) = delete;
  HiddenWhileChanging& operator=(const HiddenWhileChanging&) = delete;

 private:
  Widget& widget_;
  bool wasVisible_;
};

}  // namespace

UploadQueue::UploadQueue(Platform& platform, ControlSurface& surface, Properties& properties)
    : platform_(platform),
      surface_(surface),
      properties_(properties),
      icons_(platform.shell, surface.smallPicture, surface.largePicture, surface.smallIconImageList,
             surface.largeIconImageList) {
  surface_.cmdAdd.SetOnClick([this] { cmdAdd_Click(); });
  surface_.cmdDelete.SetOnClick([this] { cmdDelete_Click(); });
}

void UploadQueue::AddUploadedFile(std::string_view name, std::int32_t size) {
  const std::string fileName = ServerFileName(name, platform_.ansi);
  QueueTally next;
  try {
    next = Tally().Plus(size);
  } catch (const Error&) {
    ShowMessage(QueueRangeMessage(fileName, Numbers()));
    return;
  }
  const std::string key = std::string(name) + std::string(kListSeparator);
  const std::optional<std::int32_t> row = AppendRow(key, fileName, size);
  if (!row) return;  // listed already: counting it again would part counters from rows
  serverRowKeys_.Insert(key);
  const std::string extension = ExtensionKey(fileName, platform_.files.Separator());
  const std::string typeName = AddFileIconForName(icons_, platform_.files, fileName, extension,
                                                  platform_.files.DefaultDownloadFolder());
  CompleteRow(*row, typeName, extension);
  StoreTally(next);
  uploadedFiles_ += fileName;
  uploadedFiles_ += kListSeparator;
}

std::string UploadQueue::GetUploadingFiles() {
  const ListView& list = surface_.uploadFileList;
  uploadingFiles_.clear();
  for (std::int32_t row = 1; row <= list.RowCount(); ++row) {
    uploadingFiles_ += list.RowText(row);
    uploadingFiles_ += kListSeparator;
  }
  return uploadingFiles_;
}

std::int16_t UploadQueue::CurrentFileCount() const {
  return CheckedNarrow<std::int16_t>(surface_.uploadFileList.RowCount());
}

bool UploadQueue::IsNewFileKey(std::string_view key) const {
  return !surface_.uploadFileList.HasKey(key);
}

std::vector<std::string> UploadQueue::LocalRowKeys() const {
  const ListView& list = surface_.uploadFileList;
  std::vector<std::string> keys;
  for (std::int32_t row = 1; row <= list.RowCount(); ++row) {
    std::string key = list.RowKey(row);
    if (!serverRowKeys_.Contains(key)) keys.push_back(std::move(key));
  }
  return keys;
}

void UploadQueue::cmdDelete_Click() {
  try {
    HiddenWhileChanging hidden(surface_.uploadFileList);
    RemoveSelectedRows();
  } catch (const Error& error) {
    platform_.ui.ShowMessage(FormatErrorMessage(error), MessageIcon::kCritical, std::nullopt);
  }
}

void UploadQueue::RemoveSelectedRows() {
  ListView& list = surface_.uploadFileList;
  const NumberStyle numbers = Numbers();
  const std::int32_t selected = list.SelectedCount();
  for (std::int32_t i = 0; i < selected; ++i) {
    const std::int32_t row = list.FirstSelectedRow();
    if (row == 0) break;
    const QueueTally next = Tally().Minus(ReadSizeText(list.SubItem(row, 1), numbers));
    StoreTally(next);
    const std::string key = list.RowKey(row);
    if (serverRowKeys_.Contains(key)) {
      serverRowKeys_.Erase(key);
      deletedFiles_ += list.RowText(row);
      deletedFiles_ += kListSeparator;
    }
    list.RemoveRow(row);
  }
}

std::optional<std::int32_t> UploadQueue::AppendRow(std::string_view key, std::string_view text,
                                                   std::int32_t size) {
  ListView& list = surface_.uploadFileList;
  const std::optional<std::int32_t> row = list.AddRow(0, key, text);
  if (!row) return std::nullopt;
  list.SetSubItem(*row, 1, FormatN0(size, Numbers()));
  list.SetToolTip(*row, text);
  return row;
}

void UploadQueue::CompleteRow(std::int32_t row, std::string_view typeName,
                              std::string_view extensionKey) {
  ListView& list = surface_.uploadFileList;
  list.SetSubItem(row, 2, typeName);
  list.SetIconKeys(row, extensionKey, extensionKey);
  const std::int32_t previous = list.SelectedRow();
  if (previous != 0) list.SetSelected(previous, false);
  list.SetSelected(row, true);
  list.EnsureVisible(row);
}

QueueTally UploadQueue::Tally() const {
  return {fileCount_, totalSize_, properties_.remainSize};
}

void UploadQueue::StoreTally(const QueueTally& tally) {
  fileCount_ = tally.fileCount;
  totalSize_ = tally.totalSize;
  properties_.remainSize = tally.remainSize;
  ShowTally(tally, properties_.maxFileCount, Numbers(), surface_);
}

void UploadQueue::ShowMessage(const std::string& text) {
  platform_.ui.ShowMessage(text, MessageIcon::kNone, std::nullopt);
}

NumberStyle UploadQueue::Numbers() const {
  return platform_.locale.Numbers();
}

}  // namespace veldrask
