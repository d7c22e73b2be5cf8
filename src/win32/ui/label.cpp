#include "win32/ui/label.h"

namespace veldrask::win32 {

Win32Label::Win32Label(Win32Form& form, std::string name, Win32Container& container,
                       std::string_view caption, Bounds bounds)
    : Win32Widget(form, WidgetKind::kLabel, std::move(name), &container, caption, bounds) {
  CreateChild(L"STATIC", SS_LEFT | SS_NOPREFIX, 0);
}

HBRUSH Win32Label::OnControlColor(HDC dc) {
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  return GetSysColorBrush(COLOR_WINDOW);
}

}  // namespace veldrask::win32
