#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/error.h"
#include "base/number_format.h"
#include "common/server_address.h"
#include "http/exchange_observer.h"
#include "platform/platform.h"
#include "transfer/progress_block.h"
#include "transfer/server_route.h"

namespace veldrask {

// The columns of a transfer window's file list.
inline constexpr std::int32_t kSizeColumn = 1;
inline constexpr std::int32_t kStatusColumn = 2;

// Status texts that both windows show; each window names its own for a file in progress.
inline constexpr std::string_view kStatusWaiting = "대기";
inline constexpr std::string_view kStatusDone = "완료";

// What tells the two transfer windows apart on the screen.
struct TransferWindowDesign {
  std::string_view formName;      // frmProcess, frmDNProcess
  std::string_view caption;       // the title before the engine's version is known
  std::string_view frameCaption;  // the progress block's frame
  std::string_view listName;      // the file list
  Bounds clientArea;
};

// What the upload and the download window share: a modal form with the progress block and a
// file list, one socket with its connected / sent / aborted flags, waits that end with the
// loop, the host's observer, and one run per showing that ends the window whatever it throws.
// Construction stands for ControlRef and destruction for ControlRefRelease.
class TransferWindow : private SocketEvents {
 public:
  TransferWindow(const TransferWindow&) = delete;
  TransferWindow& operator=(const TransferWindow&) = delete;

  // Shows the window modally; the whole transfer runs inside and the call returns once the
  // window has closed.
  void ShowModal();

 protected:
  // The window is a modal dialog owned by ownerForm (the control's surface; null: unowned).
  // The image lists may be null (no icons then).
  TransferWindow(Platform& platform, const TransferWindowDesign& design, Form* ownerForm,
                 ImageList* smallIcons, ImageList* largeIcons);
  ~TransferWindow();

  // The transfer, run once the window is shown; an error it raises is shown, and the window
  // closes when it returns either way.
  virtual void Run() = 0;
  // Who follows the exchanges for the host; null for nobody.
  virtual ExchangeObserver* Observer() const = 0;

  // Tells the host's observer, when there is one.
  template <typename Call>
  void Tell(Call call) {
    if (ExchangeObserver* observer = Observer()) call(*observer);
  }
  // Handles events until condition holds; the loop's ending closes the window as the user's
  // close does.
  void Wait(const std::function<bool()>& condition);
  // A socket for transport by route, reporting to this window: a fresh one when the last was
  // for another transport or another tunnel, else the same one.
  void UseSocketFor(Transport transport, const ServerRoute& route);
  void CloseSocket();

  // Columns, image lists and the report view; rows come after.
  void PrepareFileList();
  // A listed file's size, waiting status, tooltip and icon.
  void ShowWaitingRow(std::int32_t row, std::int32_t size, const NumberStyle& style,
                      std::string_view toolTip, std::string_view iconKey);
  // Makes row the selected and visible one and shows status in it.
  void ShowActiveRow(std::int32_t row, std::string_view status);
  void SetStatus(std::int32_t row, std::string_view status);
  // The window's caption with the engine's version.
  void ShowTitle(std::string_view engineVersion);

  Platform& platform_;
  std::unique_ptr<Form> form_;
  const ProgressBlockWidgets block_;
  ListView* const fileList_;
  std::unique_ptr<TcpSocket> socket_;

  bool connected_ = false;
  bool sendDone_ = false;
  // The transfer must stop: the window closed, or the connection ended it.
  bool aborted_ = false;
  // The window has closed; unlike aborted_, no new run clears it.
  bool closed_ = false;

 private:
  void Activate();
  void ShowFailure(const Error& error);
  // The close handler: runs once, whoever closes the window.
  void OnFormClose();

  void OnConnect() override;

  std::string_view caption_;
  Transport socketTransport_ = Transport::kPlain;
  std::optional<ProxyPlace> socketTunnel_;
  ImageList* smallIcons_;
  ImageList* largeIcons_;
};

}  // namespace veldrask
