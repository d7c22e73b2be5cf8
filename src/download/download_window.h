#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/records.h"
#include "common/server_address.h"
#include "download/download_owner.h"
#include "download/download_progress.h"
#include "download/file_receiver.h"
#include "download/pending_file.h"
#include "download/redirect.h"
#include "download/session_targets.h"
#include "platform/platform.h"
#include "transfer/transfer_window.h"

namespace veldrask {

// The download progress window frmDNProcess. Once shown it lists the chosen files, fetches
// them one after another (one connection and one GET each, in list order) into the owner's
// download folder, shows the progress and closes itself.
class DownloadWindow final : public TransferWindow {
 public:
  // The window is a modal dialog owned by ownerForm (the control's surface; null: unowned).
  // The image lists may be null (no icons then).
  DownloadWindow(Platform& platform, const DownloadOwner& owner, Form* ownerForm,
                 ImageList* smallIcons, ImageList* largeIcons);

 private:
  // A file of the session with the row that shows it.
  struct SessionFile {
    AttachedFile entry;
    TargetName target;
    std::int32_t row = 0;
  };
  enum class FileOutcome { kDone, kFailed, kRefused, kStopped };

  void Run() override;
  ExchangeObserver* Observer() const override { return owner_.Observer(); }
  void ListFiles();
  void ListFile(const AttachedFile& entry, SessionTargets& targets);
  void RunDownload();
  FileOutcome DownloadFile(SessionFile& file);
  // Fetches target from the session's server, following the redirects the host allows.
  void FetchFollowing(std::string_view target);
  // Connects, hands over the request and waits for the response to end.
  void FetchFrom(const FetchPlace& place);
  FileOutcome FinishFile(SessionFile& file);
  void ReadArrival(std::span<const std::byte> arrival);
  void ShowFailedFiles();
  bool FileEnded() const { return receiver_ == nullptr || receiver_->Ended(); }
  // Tells the host's observer how a file ended, when there is an observer.
  void Report(const SessionFile& file, DownloadEnd end);

  void OnSendProgress(std::int32_t sent, std::int32_t remaining) override;
  void OnSendComplete() override;
  void OnDataArrival(std::int32_t bytesTotal) override;
  void OnClose() override;
  void OnError(std::int32_t number, std::string_view description) override;

  const DownloadOwner& owner_;

  std::unique_ptr<DownloadProgress> progress_;
  ServerAddress server_;

  std::unique_ptr<SessionTargets> targets_;
  std::vector<SessionFile> sessionFiles_;
  std::vector<std::string> failedNames_;
  // Files not asked for: their request target cannot be written in the request's charset.
  std::vector<std::string> unsendableNames_;
  TransferCounts counts_;
  std::int32_t startedCount_ = 0;

  // The current file: where its body goes and what reads its response.
  std::unique_ptr<PendingFile> pending_;
  std::unique_ptr<FileReceiver> receiver_;
  // One arrival at a time; the buffer is reused.
  ByteBuffer arrival_;
  const SessionFile* currentFile_ = nullptr;
  std::uint32_t lastTick_ = 0;
  // The socket's error text of the current file, if it had one.
  std::string connectionError_;
  std::int32_t connectionErrorNumber_ = 0;
  // Why the current file's redirect was not followed, if it was not.
  std::string redirectNote_;
  bool headTold_ = false;
};

}  // namespace veldrask
