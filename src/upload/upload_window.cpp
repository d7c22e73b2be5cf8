#include "upload/upload_window.h"

#include <new>

#include "base/checked.h"
#include "base/text.h"
#include "common/path_names.h"
#include "upload/progress_block.h"

namespace veldrask {
namespace {

constexpr Bounds kClientArea{0, 0, 7035, 4290};

}  // namespace

UploadWindow::UploadWindow(Platform& platform, UploadOwner& owner, Form* ownerForm,
                           ImageList* smallIcons, ImageList* largeIcons,
                           const CodePage& headCodePage, const CodePage& bodyCodePage)
    : platform_(platform),
      owner_(owner),
      observer_(owner.Observer()),
      smallIcons_(smallIcons),
      largeIcons_(largeIcons),
      headCodePage_(headCodePage),
      bodyCodePage_(bodyCodePage),
      numberStyle_(platform.locale.Numbers()),
      form_(platform.ui.CreateForm("frmProcess", "업로드 진행상황", kClientArea,
                                   {FormKind::kModalDialog, ownerForm})) {
  const ProgressBlockWidgets widgets =
      BuildProgressBlock(*form_, "fraProgress", "업로드 진행 상황", kClientArea);
  fileList_ = &form_->AddListView("UploadFileList", &widgets.frame, kProgressFileListBounds);
  display_ = std::make_unique<ProgressDisplay>(widgets, numberStyle_);
  form_->SetOnActivate([this] { Activate(); });
  form_->SetOnClose([this] { OnFormClose(); });
  if (observer_ != nullptr) {
    reply_.SetBodyTap([this](std::span<const std::byte> bytes) { observer_->ReplyBody(bytes); });
  }
}

UploadWindow::~UploadWindow() {
  // The socket and the form call back into this window; neither may once it is going.
  socket_.reset();
  form_->SetOnClose(nullptr);
  form_->SetOnActivate(nullptr);
}

void UploadWindow::ShowModal() {
  form_->ShowModal();
}

void UploadWindow::Activate() {
  try {
    ListFiles();
    form_->SetCaption("업로드 진행상황 [" + owner_.EngTitleVer() + "]");
    transferring_ = aborted_ = connected_ = false;
    RunUpload();
  } catch (const Error& error) {
    ShowFailure(error);
  } catch (const std::bad_alloc&) {
    ShowFailure(Error(ErrorNumber::kOutOfMemory));
  }
}

void UploadWindow::ListFiles() {
  PrepareTransferList(*fileList_, largeIcons_, smallIcons_);

  sessionFiles_ = owner_.AttachedFileList();
  totalSize_ = 0;
  if (sessionFiles_.size() <= 1) return;
  const std::string_view separator = platform_.files.Separator();
  for (std::size_t k = 1; k < sessionFiles_.size(); ++k) {
    const AttachedFile& file = sessionFiles_[k];
    const auto row = fileList_->AddRow(0, file.key, file.key);
    if (!row) throw Error(ErrorNumber::kKeyNotUnique);
    fileList_->SetSubItem(*row, 1, FormatN0(file.size, numberStyle_));
    fileList_->SetSubItem(*row, 2, "대기");
    fileList_->SetToolTip(*row, file.key);
    const std::string icon = ExtensionKey(file.key, separator);
    fileList_->SetIconKeys(*row, icon, icon);
    totalSize_ = CheckedAdd(totalSize_, file.size);
  }
  const AttachedFile& first = sessionFiles_[1];
  display_->InitProgressLabels(first.name, first.size,
                               CheckedNarrow<std::int32_t>(sessionFiles_.size() - 1), totalSize_);
}

void UploadWindow::ShowFailure(const Error& error) {
  // Nothing more may reach the server once the run has failed.
  if (socket_) socket_->Close();
  platform_.ui.ShowMessage(FormatErrorMessage(error), MessageIcon::kCritical, std::nullopt);
  form_->Close();
}

void UploadWindow::OnFormClose() {
  closing_ = true;
  if (transferring_) aborted_ = true;
  if (socket_) socket_->Close();
  transferring_ = false;
}

void UploadWindow::Wait(const std::function<bool()>& condition) {
  if (platform_.loop.WaitUntil(condition) == WaitOutcome::kLoopEnding) form_->Close();
}

void UploadWindow::OnConnect() {
  connected_ = true;
  Tell([](ExchangeObserver& o) { o.Connected(); });
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
  transferring_ = false;
  reply_.ConnectionClosed();
}

void UploadWindow::OnError(std::int32_t number, std::string_view description) {
  // A server that has answered in full and then drops the connection (a reset, as when it
  // refuses the rest of the body) has ended the exchange: its answer stands, not the error.
  if (reply_.Complete()) {
    OnClose();
    return;
  }
  platform_.ui.ShowMessage(ToDecimal(number) + ":" + std::string(description),
                           MessageIcon::kCritical, owner_.MainTitle());
  form_->Close();
}

}  // namespace veldrask
