#pragma once

// Where a control object gets its platform: the Win32 backend and the Win32 user interface,
// owned for the object's lifetime. This is the one place the DLL builds them.

#include <memory>

#include "platform/platform.h"
#include "win32/com/win32_headers.h"

namespace veldrask::win32 {
class TlsTrust;
class Win32Ui;
}  // namespace veldrask::win32

namespace veldrask::com {

class ControlPlatform {
 public:
  virtual ~ControlPlatform() = default;
  virtual Platform& Get() = 0;
  // The windows behind the platform's Ui.
  virtual win32::Win32Ui& Windows() = 0;
  // What the platform's TLS connections trust.
  virtual win32::TlsTrust& Trust() = 0;
};

// surfaceHost: the control's window, which the control's surface goes into.
std::unique_ptr<ControlPlatform> MakeControlPlatform(HWND surfaceHost);

}  // namespace veldrask::com
