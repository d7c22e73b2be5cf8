#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "base/records.h"
#include "platform/platform.h"
#include "transfer/progress_display.h"
#include "transfer/transfer_window.h"
#include "upload/block_reader.h"
#include "upload/reply_collector.h"
#include "upload/upload_owner.h"

namespace veldrask {

// The upload progress window frmProcess: it lists the files, sends the composed request
// over its own connection in stop-and-wait blocks of BufferSize bytes, shows the progress,
// stores the server's reply in its owner and closes.
class UploadWindow final : public TransferWindow {
 public:
  // The head of the request goes out in headCodePage, the form fields and part heads in
  // bodyCodePage. The window is a modal dialog owned by ownerForm (the control's surface;
  // null: unowned). The image lists may be null (no icons then).
  UploadWindow(Platform& platform, UploadOwner& owner, Form* ownerForm, ImageList* smallIcons,
               ImageList* largeIcons, const CodePage& headCodePage, const CodePage& bodyCodePage);

 private:
  void Run() override;
  ExchangeObserver* Observer() const override { return observer_; }
  void ListFiles();
  void RunUpload();
  void SendFile(std::int32_t row, std::int32_t rowCount, std::string_view boundary,
                std::int32_t blockSize);
  void SendBlock(std::int32_t blockBytes, const AttachedFile& file, bool lastBlock);
  // Hands bytes to the socket when it is connected and waits until they have all gone out
  // or the run stops.
  void SendAndWait(std::span<const std::byte> bytes);
  // The same for a file's blocks, which the socket may keep without a copy.
  void SendAndWait(SharedBytes bytes);
  void StoreReply();
  // Tells the user when the reply was cut at its limit or never came past interim heads.
  void ReportUnreadReply();
  bool Stopped() const { return aborted_ || closed_; }

  void OnSendProgress(std::int32_t sent, std::int32_t remaining) override;
  void OnSendComplete() override;
  void OnDataArrival(std::int32_t bytesTotal) override;
  void OnClose() override;
  void OnError(std::int32_t number, std::string_view description) override;

  UploadOwner& owner_;
  ExchangeObserver* observer_;
  const CodePage& headCodePage_;
  const CodePage& bodyCodePage_;
  NumberStyle numberStyle_;
  std::unique_ptr<ProgressDisplay> display_;

  // The files alone, without the list's empty entry: row r shows sessionFiles_[r - 1].
  std::vector<AttachedFile> sessionFiles_;
  std::int32_t totalSize_ = 0;
  std::int32_t currentSent_ = 0;
  std::int32_t totalSent_ = 0;
  // The file data, read ahead in pieces of whole blocks; made once per run.
  std::unique_ptr<BlockReader> blocks_;
  ByteBuffer arrival_;
  static constexpr std::size_t kReplyLimitMegabytes = ReplyCollector::kDefaultBodyLimit >> 20;
  ReplyCollector reply_;
  bool headTold_ = false;
};

}  // namespace veldrask
