// The one place the DLL builds a platform: the Win32 backend and the Win32 user interface,
// whose forms shown without waiting (the control's surface) go into the control's window.

#include "win32/com/control_platform.h"

#include "win32/com/module.h"
#include "win32/ui/win32_ui.h"
#include "win32/win32_platform.h"

namespace veldrask::com {
namespace {

// The title of message boxes that name none.
constexpr char kDefaultTitle[] = "VeldraskUploader";

class Win32ControlPlatform final : public ControlPlatform {
 public:
  explicit Win32ControlPlatform(HWND surfaceHost)
      : ui_(backend_.Loop(), ModuleHandle(), kDefaultTitle), platform_(backend_.Bind(ui_)) {
    ui_.SetHostWindow(surfaceHost);
    backend_.Loop().SetMessageFilter(
        [this](MSG& message) { return ui_.TranslateDialogMessage(message); });
  }

  Platform& Get() override { return platform_; }
  win32::Win32Ui& Windows() override { return ui_; }
  win32::TlsTrust& Trust() override { return backend_.Networking().Trust(); }

 private:
  win32::Win32Platform backend_;
  win32::Win32Ui ui_;
  Platform platform_;
};

}  // namespace

std::unique_ptr<ControlPlatform> MakeControlPlatform(HWND surfaceHost) {
  return std::make_unique<Win32ControlPlatform>(surfaceHost);
}

}  // namespace veldrask::com
