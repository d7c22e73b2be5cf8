#include "win32/ui/button.h"

namespace veldrask::win32 {

Win32Button::Win32Button(Win32Form& form, std::string name, Win32Container& container,
                         std::string_view caption, Bounds bounds)
    : Win32Widget(form, WidgetKind::kButton, std::move(name), &container, caption, bounds) {
  CreateChild(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0);
}

void Win32Button::OnCommand(WORD code) {
  if (code == BN_CLICKED) RaiseClick();
}

}  // namespace veldrask::win32
