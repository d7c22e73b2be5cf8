#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/event_loop.h"
#include "platform/ui.h"
#include "win32/ui/pixel_scale.h"

namespace veldrask::win32 {

class Win32Form;

// The Ui as Win32 windows and common controls, for one thread. The event loop given here is
// the thread's message pump (the one the sockets report through): modal forms wait in it, so
// socket events, posted tasks and the windows' own messages all go on while a transfer window
// is up. All widgets use Tahoma 9 pt.
class Win32Ui : public Ui {
 public:
  // instance: the module the window classes belong to (the control's DLL). defaultTitle: the
  // title of message boxes that name none.
  Win32Ui(EventLoop& loop, HINSTANCE instance, std::string defaultTitle);
  // Every form created here must be destroyed first.
  ~Win32Ui() override;
  Win32Ui(const Win32Ui&) = delete;
  Win32Ui& operator=(const Win32Ui&) = delete;

  // A surface lives in the host window; a modal dialog is owned by the top-level window that
  // holds its owner form.
  std::unique_ptr<Form> CreateForm(std::string name, std::string_view caption, Bounds clientSize,
                                   FormPlacement placement) override;
  // MessageBoxW with an OK button, owned by the window that owns dialogs now.
  void ShowMessage(std::string_view text, MessageIcon icon,
                   std::optional<std::string_view> caption) override;
  // SHBrowseForFolderW for file-system folders.
  std::string BrowseForFolder(std::string_view title) override;

  // The window the control lives in while the container has it active (its own window inside
  // the container's): the surfaces become its children and show there once shown. Null takes
  // them out again, hidden, until the next host: call it with null before the host window is
  // destroyed, which would destroy the surfaces' windows with it.
  void SetHostWindow(HWND host);
  HWND HostWindow() const { return host_; }
  // The owner of dialogs now: the innermost open modal form, else the host's top-level window,
  // else none.
  HWND DialogOwner() const;
  // The window of a form created here.
  static HWND WindowOf(const Form& form);

  // A failure that escaped a handler the windows called (it cannot unwind through the
  // system). Without a failure handler its text is shown in a critical message box.
  using FailureHandler = std::function<void(std::exception_ptr)>;
  void SetFailureHandler(FailureHandler handler) { failureHandler_ = std::move(handler); }
  void ReportFailure(std::exception_ptr failure) noexcept;

  // Runs around every message the forms' windows handle (the core's handlers run inside), so
  // that whoever owns this Ui can keep itself alive until the handler has returned.
  void SetHandlerHooks(std::function<void()> entering, std::function<void()> leaving);
  void EnterHandler() const {
    if (entering_) entering_();
  }
  void LeaveHandler() const {
    if (leaving_) leaving_();
  }
  // Closes the open modal forms, innermost first, as the user's close does: the owner of this
  // Ui is going away, and their loops unwind.
  void CloseModalForms() noexcept;
  // The keyboard interface of the innermost modal form (Tab and the arrow keys move the focus
  // through its controls): true when the message was its keyboard input and is handled. The
  // thread's message loop passes each message here before dispatching it.
  bool TranslateDialogMessage(MSG& message) const;

  EventLoop& Loop() const { return loop_; }
  HINSTANCE Instance() const { return instance_; }
  HFONT Font() const { return font_; }
  const PixelScale& Scale() const { return scale_; }
  void PushModal(HWND window) { modals_.push_back(window); }
  void PopModal(HWND window);
  void AddSurface(Win32Form& surface) { surfaces_.push_back(&surface); }
  void RemoveSurface(const Win32Form& surface);

 private:
  EventLoop& loop_;
  HINSTANCE instance_;
  std::string defaultTitle_;
  PixelScale scale_;
  HFONT font_;
  HWND host_ = nullptr;
  std::vector<HWND> modals_;
  std::vector<Win32Form*> surfaces_;
  FailureHandler failureHandler_;
  std::function<void()> entering_;
  std::function<void()> leaving_;
};

}  // namespace veldrask::win32
