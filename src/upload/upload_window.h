#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "base/records.h"
#include "platform/platform.h"
#include "upload/block_reader.h"
#include "upload/progress_display.h"
#include "upload/reply_collector.h"
#include "upload/upload_owner.h"

namespace veldrask {

// The upload progress window frmProcess: it lists the files, sends the composed request
// over its own connection in stop-and-wait blocks of BufferSize bytes, shows the progress,
// stores the server's reply in its owner and closes. Construction stands for ControlRef and
// destruction for ControlRefRelease.
class UploadWindow final : private SocketEvents {
 public:
  // The head of the request goes out in headCodePage, the form fields and part heads in
  // bodyCodePage. The window is a modal dialog owned by ownerForm (the control's surface;
  // null: unowned). The image lists may be null (no icons then).
  UploadWindow(Platform& platform, UploadOwner& owner, Form* ownerForm, ImageList* smallIcons,
               ImageList* largeIcons, const CodePage& headCodePage, const CodePage& bodyCodePage);
  ~UploadWindow();
  UploadWindow(const UploadWindow&) = delete;
  UploadWindow& operator=(const UploadWindow&) = delete;

  // Shows the window modally; the whole upload runs inside and the call returns once the
  // window has closed.
  void ShowModal();

 private:
  void Activate();
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
  // Handles events until condition holds; the loop's ending closes the window as the user's
  // close does.
  void Wait(const std::function<bool()>& condition);
  void StoreReply();
  // Tells the user when the reply was cut at its limit or never came past interim heads.
  void ReportUnreadReply();
  void ShowFailure(const Error& error);
  // The close handler: runs once, whoever closes the window.
  void OnFormClose();
  bool Stopped() const { return aborted_ || closing_; }
  // Tells the host's observer, when there is one.
  template <typename Call>
  void Tell(Call call) {
    if (observer_ != nullptr) call(*observer_);
  }

  void OnConnect() override;
  void OnSendProgress(std::int32_t sent, std::int32_t remaining) override;
  void OnSendComplete() override;
  void OnDataArrival(std::int32_t bytesTotal) override;
  void OnClose() override;
  void OnError(std::int32_t number, std::string_view description) override;

  Platform& platform_;
  UploadOwner& owner_;
  ExchangeObserver* observer_;
  ImageList* smallIcons_;
  ImageList* largeIcons_;
  const CodePage& headCodePage_;
  const CodePage& bodyCodePage_;
  NumberStyle numberStyle_;

  std::unique_ptr<Form> form_;
  ListView* fileList_ = nullptr;
  std::unique_ptr<ProgressDisplay> display_;
  std::unique_ptr<TcpSocket> socket_;

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

  bool connected_ = false;
  bool sendDone_ = false;
  bool transferring_ = false;
  // Sending must stop: the server closed, or the window closed while files were going out.
  bool aborted_ = false;
  bool closing_ = false;
};

}  // namespace veldrask
