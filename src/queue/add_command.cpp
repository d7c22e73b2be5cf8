// The add command of UploadQueue: the open dialog and the checks each chosen file passes.

#include "base/error.h"
#include "common/path_names.h"
#include "queue/add_limits.h"
#include "queue/queue_messages.h"
#include "queue/upload_queue.h"

namespace veldrask {
namespace {

// Explorer-style dialog with multiple selection.
constexpr std::int32_t kOpenFlags = 0x80000 | 0x200;

}  // namespace

void UploadQueue::cmdAdd_Click() {
  try {
    RunAddPass();
  } catch (const Error& error) {
    platform_.ui.ShowMessage(FormatErrorMessage(error), MessageIcon::kCritical, std::nullopt);
  }
}

void UploadQueue::RunAddPass() {
  FileDialog& dialog = surface_.comOpen;
  dialog.SetFlags(kOpenFlags);
  dialog.ShowOpen();
  const std::string selection = dialog.FileName();
  if (selection.empty()) return;
  const bool multiple = IsMultipleSelection(selection);
  for (const std::string& path : SelectionPaths(selection, platform_.files.Separator())) {
    if (AddLocalFile(path, multiple) == PassStep::kEndPass) return;
  }
  dialog.SetFileName("");
}

// The checks in their fixed order; the first that fails decides. Every way out of the pass
// empties the dialog's file name, so the next pass never starts from a stale choice.
UploadQueue::PassStep UploadQueue::AddLocalFile(const std::string& path, bool multipleSelection) {
  FileDialog& dialog = surface_.comOpen;
  const NumberStyle numbers = Numbers();
  const Properties& limits = properties_;

  if (fileCount_ >= limits.maxFileCount) {
    dialog.SetFileName("");
    ShowMessage(CountMessage(limits.maxFileCount));
    return PassStep::kEndPass;
  }
  if (IsExcludedExtension(limits.excludeFileExtension,
                          ExtensionKey(path, platform_.files.Separator()))) {
    ShowMessage(ExtensionMessage(path));
    dialog.SetFileName("");
    return PassStep::kEndPass;
  }
  if (!IsNewFileKey(path)) {
    if (multipleSelection) return PassStep::kNextFile;
    dialog.SetFileName("");
    return PassStep::kEndPass;
  }

  // Measured once, so the checks and the row agree even if the file changes meanwhile.
  std::int64_t size = 0;
  try {
    size = platform_.files.FileSize(path);
  } catch (const Error& error) {
    ShowMessage(UnmeasurableMessage(path, error));
    return PassStep::kNextFile;
  }
  if (size > kMaxQueueBytes) {
    ShowMessage(OversizeMessage(path, numbers));
    dialog.SetFileName("");
    return PassStep::kNextFile;
  }

  const std::optional<std::int32_t> totalLimit = MegabytesToBytes(limits.maxFileSize);
  if (!totalLimit) {
    dialog.SetFileName("");
    ShowMessage(TotalLimitRangeMessage(path, limits.maxFileSize, numbers));
    return PassStep::kEndPass;
  }
  if (size + totalSize_ > *totalLimit) {
    dialog.SetFileName("");
    ShowMessage(TotalMessage(limits.maxFileSize, numbers));
    return PassStep::kEndPass;
  }

  if (limits.unitFileSize != 0) {
    const std::optional<std::int32_t> fileLimit = MegabytesToBytes(limits.unitFileSize);
    if (!fileLimit) {
      dialog.SetFileName("");
      ShowMessage(PerFileLimitRangeMessage(path, limits.unitFileSize, numbers));
      return PassStep::kEndPass;
    }
    if (size >= *fileLimit) {
      ShowMessage(PerFileMessage(path, limits.unitFileSize, numbers));
      dialog.SetFileName("");
      return PassStep::kNextFile;
    }
  }

  AcceptLocalFile(path, static_cast<std::int32_t>(size));
  return PassStep::kNextFile;
}

void UploadQueue::AcceptLocalFile(const std::string& path, std::int32_t size) {
  QueueTally next;
  try {
    next = Tally().Plus(size);
  } catch (const Error&) {
    ShowMessage(QueueRangeMessage(path, Numbers()));
    return;
  }
  const std::optional<std::int32_t> row = AppendRow(path, path, size);
  if (!row) return;
  const std::string extension = ExtensionKey(path, platform_.files.Separator());
  CompleteRow(*row, icons_.AddFileIcon(path, extension), extension);
  StoreTally(next);
}

}  // namespace veldrask
