#include "upload/upload_window.h"

#include <new>

#include "base/checked.h"
#include "base/text.h"
#include "common/path_names.h"

namespace veldrask {
namespace {

constexpr TransferWindowDesign kDesign{
    "frmProcess", "업로드 진행상황", "업로드 진행 상황", "UploadFileList", {0, 0, 7035, 4290}};

}  // namespace

UploadWindow::UploadWindow(Platform& platform, UploadOwner& owner, Form* ownerForm,
                           ImageList* smallIcons, ImageList* largeIcons,
                           const CodePage& headCodePage, const CodePage& bodyCodePage)
    : TransferWindow(platform, kDesign, ownerForm, smallIcons, largeIcons),
      owner_(owner),
      observer_(owner.Observer()),
      headCodePage_(headCodePage),
      bodyCodePage_(bodyCodePage),
      numberStyle_(platform.locale.Numbers()),
      display_(std::make_unique<ProgressDisplay>(block_, numberStyle_)) {
  if (observer_ != nullptr && observer_->TakesReplyBody()) {
    reply_.SetBodyTap([this](std::span<const std::byte> bytes) { observer_->ReplyBody(bytes); });
  }
}

void UploadWindow::Run() {
  ListFiles();
  ShowTitle(owner_.EngTitleVer());
  aborted_ = connected_ = false;
  RunUpload();
}

void UploadWindow::ListFiles() {
  PrepareFileList();

  const std::vector<AttachedFile> list = owner_.AttachedFileList();
  const std::span<const AttachedFile> files = FilesOfUploadList(list);
  sessionFiles_.assign(files.begin(), files.end());
  totalSize_ = 0;
  if (sessionFiles_.empty()) return;
  const std::string_view separator = platform_.files.Separator();
  for (const AttachedFile& file : sessionFiles_) {
    const auto row = fileList_->AddRow(0, file.key, file.key);
    if (!row) throw Error(ErrorNumber::kKeyNotUnique);
    ShowWaitingRow(*row, file.size, numberStyle_, file.key, ExtensionKey(file.key, separator));
    totalSize_ = CheckedAdd(totalSize_, file.size);
  }
  const AttachedFile& first = sessionFiles_.front();
  display_->InitProgressLabels(first.name, first.size,
                               CheckedNarrow<std::int32_t>(sessionFiles_.size()), totalSize_);
}

void UploadWindow::OnSendProgress(std::int32_t /*sent*/, std::int32_t remaining) {
  if (remaining == 0) sendDone_ = true;
  Tell([](ExchangeObserver& o) { o.Progress(); });
}

// The last progress report already says that everything went out.
void UploadWindow::OnSendComplete() {}

void UploadWindow::OnDataArrival(std::int32_t /*bytesTotal*/) {
  arrival_.clear();
  socket_->GetData(arrival_);
  reply_.Add(arrival_);
  Tell([](ExchangeObserver& o) { o.Progress(); });
  if (!headTold_ && reply_.HasHead()) {
    headTold_ = true;
    Tell([this](ExchangeObserver& o) { o.ResponseHeadRead(reply_.Head()); });
  }
}

void UploadWindow::OnClose() {
  aborted_ = true;
  connected_ = false;
  reply_.ConnectionClosed();
}

void UploadWindow::OnError(std::int32_t number, std::string_view description) {
  // A server that has answered in full and then drops the connection (a reset, as when it
  // refuses the rest of the body) has ended the exchange: its answer stands, not the error.
  if (reply_.Complete()) {
    OnClose();
    return;
  }
  Tell([&](ExchangeObserver& o) { o.SocketFailed(number, description); });
  platform_.ui.ShowMessage(ToDecimal(number) + ":" + std::string(description),
                           MessageIcon::kCritical, owner_.MainTitle());
  form_->Close();
}

}  // namespace veldrask
