// RunUpload: the upload window's transfer, from connecting to storing the reply.

#include <algorithm>
#include <memory>

#include "base/checked.h"
#include "base/text.h"
#include "common/server_address.h"
#include "upload/upload_request.h"
#include "upload/upload_window.h"

namespace veldrask {
namespace {

constexpr std::string_view kStatusSending = "전송중";

}  // namespace

void UploadWindow::RunUpload() {
  const std::int32_t blockSize = owner_.BufferSize();
  const std::string boundary = owner_.Boundary();
  // Only files are sent in blocks: a form alone goes out whatever BufferSize is, and with files
  // a size that makes no block is refused before anything is sent.
  if (!sessionFiles_.empty()) {
    if (blockSize < 1) {
      throw Error(ErrorNumber::kInvalidArgument,
                  "BufferSize는 1 이상이어야 합니다. (현재 값: " + ToDecimal(blockSize) + ")");
    }
    std::int32_t largestFile = 0;
    for (const AttachedFile& file : sessionFiles_) largestFile = std::max(largestFile, file.size);
    blocks_ = std::make_unique<BlockReader>(blockSize, largestFile);
  }

  connected_ = false;
  const ServerAddress server = ParseServerAddress(owner_.HostName());
  const ServerRoute route = RouteTo(owner_.GetHostOptions(), server, owner_.ServerPort());
  UseSocketFor(server.transport, route);
  Tell([](ExchangeObserver& o) { o.Connecting(); });
  socket_->Connect(route.host, route.port);
  Wait([this] { return connected_ || Stopped(); });

  const std::string head = HeadForRoute(route, owner_.UploadHTTPHeader());
  if (!Stopped() && socket_->State() == SocketState::kConnected) {
    Tell([&head](ExchangeObserver& o) { o.RequestHead(head); });
  }
  SendAndWait(
      AsBytes(headCodePage_.Encode(head) + bodyCodePage_.Encode(owner_.UploadHTTPFormData())));

  totalSent_ = 0;
  const std::int32_t rowCount = fileList_->RowCount();
  for (std::int32_t row = 1; row <= rowCount; ++row) {
    if (Stopped()) {
      socket_->Close();
      break;
    }
    SendFile(row, rowCount, boundary, blockSize);
  }
  connected_ = false;

  // The reply ends by its own framing or by the server closing; the user may close first.
  if (!Stopped()) Wait([this] { return reply_.Finished() || Stopped(); });
  // The exchange is over. A server that keeps sending (interim heads without end, a reply past
  // the limit) would otherwise keep the notifications of its data coming, and a modal loop
  // such as the message box below hands out posted messages before input and timers: the box
  // could never be answered.
  socket_->Close();
  StoreReply();
  ReportUnreadReply();
}

void UploadWindow::SendFile(std::int32_t row, std::int32_t rowCount, std::string_view boundary,
                            std::int32_t blockSize) {
  const AttachedFile& file = sessionFiles_.at(static_cast<std::size_t>(row) - 1);
  const std::string path = fileList_->RowText(row);
  display_->ShowCurrentFile(row, rowCount, AfterLast(path, platform_.files.Separator()));
  ShowActiveRow(row, kStatusSending);

  SendAndWait(AsBytes(bodyCodePage_.Encode(file.header)));
  currentSent_ = 0;
  display_->StartFileBars(file.size, totalSize_, totalSent_);

  const std::unique_ptr<InputFile> input = platform_.files.OpenRead(fileList_->RowKey(row));
  blocks_->Start(*input, file.size, path);
  const std::int32_t fullBlocks = file.size / blockSize;
  const std::int32_t rest = file.size % blockSize;
  for (std::int32_t block = 0; block < fullBlocks && !Stopped(); ++block) {
    SendBlock(blockSize, file, false);
  }
  if (rest > 0 && !Stopped()) SendBlock(rest, file, true);
  if (Stopped()) return;

  SendAndWait(AsBytes(PartTail(boundary, row == rowCount)));
  if (!Stopped()) SetStatus(row, kStatusDone);
}

void UploadWindow::SendBlock(std::int32_t blockBytes, const AttachedFile& file, bool lastBlock) {
  const std::uint32_t started = platform_.clock.TickCount();
  SendAndWait(blocks_->Next(static_cast<std::size_t>(blockBytes)));
  const std::uint32_t finished = platform_.clock.TickCount();
  currentSent_ = CheckedAdd(currentSent_, blockBytes);
  totalSent_ = display_->UpdateBlockProgress({
      .fileSize = file.size,
      .totalSize = totalSize_,
      .currentSent = currentSent_,
      .totalSent = totalSent_,
      .blockBytes = blockBytes,
      .elapsedMs = TicksBetween(started, finished),
      .lastBlock = lastBlock,
      .aborted = aborted_,
  });
  platform_.loop.ProcessPendingEvents();
}

void UploadWindow::SendAndWait(std::span<const std::byte> bytes) {
  SendAndWait(SharedBytes{bytes, nullptr});
}

void UploadWindow::SendAndWait(SharedBytes bytes) {
  sendDone_ = false;
  if (Stopped() || socket_->State() != SocketState::kConnected) return;
  socket_->SendShared(std::move(bytes));
  Wait([this] { return sendDone_ || Stopped(); });
}

void UploadWindow::StoreReply() {
  owner_.SetHTTPResponseData(reply_.Text(platform_.ansi, bodyCodePage_));
  if (reply_.HasHead()) {
    const ResponseHead& head = reply_.Head();
    owner_.SetHTTPResponseStatus(head.reason.empty() ? head.statusCode
                                                     : head.statusCode + " " + head.reason);
  }
}

void UploadWindow::ReportUnreadReply() {
  std::string text;
  if (reply_.Cut()) {
    text = "서버의 응답이 " + ToDecimal(static_cast<std::int64_t>(kReplyLimitMegabytes)) +
           "MB를 넘어 앞부분만 받았습니다.";
  } else if (reply_.Error() == ResponseError::kTooManyInterimResponses) {
    text = "서버가 최종 응답 없이 중간 응답(1xx)만 계속 보냈습니다.";
  }
  if (!text.empty()) platform_.ui.ShowMessage(text, MessageIcon::kCritical, owner_.MainTitle());
}

}  // namespace veldrask
