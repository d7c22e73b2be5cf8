#include "transfer/transfer_window.h"

#include <optional>

namespace veldrask {

TransferWindow::TransferWindow(Platform& platform, const TransferWindowDesign& design,
                               Form* ownerForm, ImageList* smallIcons, ImageList* largeIcons)
    : platform_(platform),
      form_(platform.ui.CreateForm(std::string(design.formName), design.caption, design.clientArea,
                                   {FormKind::kModalDialog, ownerForm})),
      block_(BuildProgressBlock(*form_, "fraProgress", design.frameCaption, design.clientArea)),
      fileList_(&form_->AddListView(std::string(design.listName), &block_.frame,
                                    kProgressFileListBounds)),
      caption_(design.caption),
      smallIcons_(smallIcons),
      largeIcons_(largeIcons) {
  form_->SetOnActivate([this] { Activate(); });
  form_->SetOnClose([this] { OnFormClose(); });
}

TransferWindow::~TransferWindow() {
  // The socket and the form call back into this window; neither may once it is going.
  socket_.reset();
  form_->SetOnClose(nullptr);
  form_->SetOnActivate(nullptr);
}

void TransferWindow::ShowModal() {
  form_->ShowModal();
}

void TransferWindow::Activate() {
  ShowingErrors([this] { Run(); }, [this](const Error& error) { ShowFailure(error); });
  form_->Close();
}

void TransferWindow::ShowFailure(const Error& error) {
  // Nothing more may reach the server once the run has failed.
  CloseSocket();
  platform_.ui.ShowMessage(FormatErrorMessage(error), MessageIcon::kCritical, std::nullopt);
}

void TransferWindow::OnFormClose() {
  closed_ = true;
  aborted_ = true;
  connected_ = false;
  CloseSocket();
}

void TransferWindow::Wait(const std::function<bool()>& condition) {
  if (platform_.loop.WaitUntil(condition) == WaitOutcome::kLoopEnding) form_->Close();
}

void TransferWindow::UseSocketFor(Transport transport, const ServerRoute& route) {
  if (socket_ && transport == socketTransport_ && route.tunnel == socketTunnel_) return;
  socket_ =
      OpenRouteSocket(platform_.network, *this, transport, route, [this] { return Observer(); });
  socketTransport_ = transport;
  socketTunnel_ = route.tunnel;
}

void TransferWindow::CloseSocket() {
  if (socket_ && socket_->State() != SocketState::kClosed) socket_->Close();
}

void TransferWindow::OnConnect() {
  connected_ = true;
  Tell([](ExchangeObserver& o) { o.Connected(); });
}

void TransferWindow::PrepareFileList() {
  fileList_->AddColumn({"filename", "파일 이름", 4000, Alignment::kLeft});
  fileList_->AddColumn({"fiesize", "파일 크기(Bytes)", 1700, Alignment::kRight});
  fileList_->AddColumn({"fietype", "상태", 800, Alignment::kCenter});
  fileList_->SetImageLists(largeIcons_, smallIcons_);
  fileList_->SetView(ListViewMode::kReport);
  fileList_->SetLabelEditAutomatic(false);
}

void TransferWindow::ShowWaitingRow(std::int32_t row, std::int32_t size, const NumberStyle& style,
                                    std::string_view toolTip, std::string_view iconKey) {
  fileList_->SetSubItem(row, kSizeColumn, FormatN0(size, style));
  SetStatus(row, kStatusWaiting);
  fileList_->SetToolTip(row, toolTip);
  fileList_->SetIconKeys(row, iconKey, iconKey);
}

void TransferWindow::ShowActiveRow(std::int32_t row, std::string_view status) {
  if (const std::int32_t previous = fileList_->SelectedRow(); previous != 0) {
    fileList_->SetSelected(previous, false);
  }
  fileList_->SetSelected(row, true);
  fileList_->EnsureVisible(row);
  SetStatus(row, status);
}

void TransferWindow::SetStatus(std::int32_t row, std::string_view status) {
  fileList_->SetSubItem(row, kStatusColumn, status);
}

void TransferWindow::ShowTitle(std::string_view engineVersion) {
  form_->SetCaption(std::string(caption_) + " [" + std::string(engineVersion) + "]");
}

}  // namespace veldrask
