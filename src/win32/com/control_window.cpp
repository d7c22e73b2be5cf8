#include "control_window.h"

#include "module.h"

namespace veldrask::com {
namespace {

constexpr wchar_t kClassName[] = L"VeldraskUploaderControl";

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

HWND CreateControlWindow(HWND parent, const RECT& position) {
  if (!RegisterClassOnce()) return nullptr;
  return CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"",
                         WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, position.left, position.top,
                         position.right - position.left, position.bottom - position.top, parent,
                         nullptr, ModuleHandle(), nullptr);
}

void UnregisterControlWindowClass() {
  UnregisterClassW(kClassName, ModuleHandle());
}

}  // namespace veldrask::com
