#include "win32/com/control_window.h"

#include <cstring>

#include "win32/com/module.h"

namespace veldrask::com {
namespace {

constexpr wchar_t kClassName[] = L"VeldraskUploaderControl";
constexpr DWORD kParkedStyle = WS_POPUP | WS_CLIPCHILDREN;
constexpr DWORD kPlacedStyle = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
constexpr UINT kDeferredRelease = WM_APP + 1;

LRESULT CALLBACK ControlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kDeferredRelease) {
    reinterpret_cast<IUnknown*>(lParam)->Release();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// The style as SetWindowLongPtr takes it (a DWORD's bits in a signed value).
void SetStyle(HWND window, DWORD style) {
  LONG_PTR bits = 0;
  static_assert(sizeof bits >= sizeof style);
  std::memcpy(&bits, &style, sizeof style);
  SetWindowLongPtrW(window, GWL_STYLE, bits);
}

bool RegisterClassOnce() {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(ModuleHandle(), kClassName, &existing)) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = ControlWindowProc;
  windowClass.hInstance = ModuleHandle();
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  return RegisterClassExW(&windowClass) != 0;
}

}  // namespace

HWND CreateParkedControlWindow() {
  if (!RegisterClassOnce()) return nullptr;
  return CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"UploaderControl", kParkedStyle, 0, 0, 0,
                         0, nullptr, nullptr, ModuleHandle(), nullptr);
}

void PlaceControlWindow(HWND window, HWND parent, const RECT& position) {
  SetStyle(window, kPlacedStyle);
  SetParent(window, parent);
  SetWindowPos(window, nullptr, position.left, position.top, position.right - position.left,
               position.bottom - position.top, SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
}

void ParkControlWindow(HWND window) {
  ShowWindow(window, SW_HIDE);
  SetParent(window, nullptr);
  SetStyle(window, kParkedStyle);
}

bool PostDeferredRelease(HWND window, IUnknown* object) {
  return PostMessageW(window, kDeferredRelease, 0, reinterpret_cast<LPARAM>(object)) != FALSE;
}

void UnregisterControlWindowClass() {
  UnregisterClassW(kClassName, ModuleHandle());
}

}  // namespace veldrask::com
