#include "control_window.h"

#include "module.h"

namespace veldrask::com {
namespace {

constexpr wchar_t kClassName[] = L"VeldraskUploaderControl";
constexpr LONG_PTR kParkedStyle = WS_POPUP | WS_CLIPCHILDREN;
constexpr LONG_PTR kPlacedStyle = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;

bool RegisterClassOnce() {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(ModuleHandle(), kClassName, &existing)) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = ModuleHandle();
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  return RegisterClassExW(&windowClass) != 0;
}

}  // namespace

HWND CreateParkedControlWindow() {
  if (!RegisterClassOnce()) return nullptr;
  return CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"UploaderControl",
                         static_cast<DWORD>(kParkedStyle), 0, 0, 0, 0, nullptr, nullptr,
                         ModuleHandle(), nullptr);
}

void PlaceControlWindow(HWND window, HWND parent, const RECT& position) {
  SetWindowLongPtrW(window, GWL_STYLE, kPlacedStyle);
  SetParent(window, parent);
  SetWindowPos(window, nullptr, position.left, position.top, position.right - position.left,
               position.bottom - position.top, SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
}

void ParkControlWindow(HWND window) {
  ShowWindow(window, SW_HIDE);
  SetParent(window, nullptr);
  SetWindowLongPtrW(window, GWL_STYLE, kParkedStyle);
}

void UnregisterControlWindowClass() {
  UnregisterClassW(kClassName, ModuleHandle());
}

}  // namespace veldrask::com
