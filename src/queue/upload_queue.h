#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/key_set.h"
#include "common/control_surface.h"
#include "common/file_icons.h"
#include "common/properties.h"
#include "platform/platform.h"
#include "queue/queue_tally.h"

namespace veldrask {

// The upload list UploadFileList and its bookkeeping: local files the user adds through the
// open dialog (checked against the page's limits), files the page lists as already on the
// server (their keys end with "<"), deletion of selected rows, and the "<"-terminated lists
// the page reads back. A row's kind is what made it, kept here beside the list: a local path
// may hold "<" as well. The counters always describe the rows in the list. RemainSize lives
// in the control's properties because MaxFileSize resets it.
class UploadQueue {
 public:
  // Hooks the clicks of cmdAdd and cmdDelete. Everything passed in must outlive the queue.
  UploadQueue(Platform& platform, ControlSurface& surface, Properties& properties);
  UploadQueue(const UploadQueue&) = delete;
  UploadQueue& operator=(const UploadQueue&) = delete;

  // The add command: the open dialog, then each chosen file checked and queued.
  void cmdAdd_Click();
  // The delete command: removes every selected row; server rows are noted as deleted.
  void cmdDelete_Click();

  // Lists a file that is already on the server: name as the page passed it (URL-encoded,
  // possibly with folders), size in bytes. No limit applies; a name listed already adds and
  // counts nothing.
  void AddUploadedFile(std::string_view name, std::int32_t size);
  // Every server file name listed so far, each followed by "<".
  const std::string& GetUploadedFiles() const { return uploadedFiles_; }
  // Every deleted server row's text, each followed by "<".
  const std::string& GetDeletedFiles() const { return deletedFiles_; }
  // The text of each row now in the list, in order, each followed by "<".
  std::string GetUploadingFiles();
  // The number of rows in the list.
  std::int16_t CurrentFileCount() const;

  // True when no row of the list has exactly this key (letter case counts).
  bool IsNewFileKey(std::string_view key) const;
  // The keys of the rows the add command made, in row order: what an upload sends.
  std::vector<std::string> LocalRowKeys() const;

  std::int16_t UploadFileCount() const { return fileCount_; }
  std::int32_t UploadTotalSize() const { return totalSize_; }

  // The icon store that the download list shares.
  FileIcons& Icons() { return icons_; }

 private:
  enum class PassStep { kNextFile, kEndPass };

  void RunAddPass();
  PassStep AddLocalFile(const std::string& path, bool multipleSelection);
  void AcceptLocalFile(const std::string& path, std::int32_t size);
  void RemoveSelectedRows();

  // Appends a row with its size and tool tip; nullopt (and no row) when the key is taken.
  std::optional<std::int32_t> AppendRow(std::string_view key, std::string_view text,
                                        std::int32_t size);
  // Gives the row its type name and icons and makes it the selected row.
  void CompleteRow(std::int32_t row, std::string_view typeName, std::string_view extensionKey);
  void SelectRow(std::int32_t row);

  QueueTally Tally() const;
  void StoreTally(const QueueTally& tally);
  void ShowMessage(const std::string& text);
  NumberStyle Numbers() const;

  Platform& platform_;
  ControlSurface& surface_;
  Properties& properties_;
  FileIcons icons_;
  std::int16_t fileCount_ = 0;
  std::int32_t totalSize_ = 0;
  std::string uploadedFiles_;
  std::string deletedFiles_;
  std::string uploadingFiles_;
  // The keys of the rows AddUploadedFile made.
  KeySet serverRowKeys_;
};

}  // namespace veldrask
