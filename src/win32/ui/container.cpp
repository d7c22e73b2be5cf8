#include "win32/ui/container.h"

#include <algorithm>

#include "win32/ui/rectangle.h"
#include "win32/ui/win32_ui.h"

namespace veldrask::win32 {
namespace {

LRESULT Dispatch(Win32Container& self, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (Win32Widget* child = Win32Widget::FromWindow(reinterpret_cast<HWND>(lParam))) {
        child->OnCommand(HIWORD(wParam));
        return 0;
      }
      break;
    case WM_NOTIFY: {
      NMHDR& header = *reinterpret_cast<NMHDR*>(lParam);
      if (Win32Widget* child = Win32Widget::FromWindow(header.hwndFrom)) {
        return child->OnNotify(header);
      }
      break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (Win32Widget* child = Win32Widget::FromWindow(reinterpret_cast<HWND>(lParam))) {
        if (HBRUSH brush = child->OnControlColor(reinterpret_cast<HDC>(wParam))) {
          return reinterpret_cast<LRESULT>(brush);
        }
      }
      break;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT fills the whole client area
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      self.Paint(dc);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_CLOSE:
      self.OnCloseRequest();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = dynamic_cast<Win32Container*>(Win32Widget::FromWindow(window));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  // The core's handlers run from here; nothing may unwind through the system's frames.
  Win32Ui& ui = self->Ui();
  ui.EnterHandler();
  LRESULT result = 0;
  try {
    result = Dispatch(*self, window, message, wParam, lParam);
  } catch (...) {
    ui.ReportFailure(std::current_exception());
  }
  ui.LeaveHandler();
  return result;
}

}  // namespace

bool Win32Container::RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = ContainerProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kContainerClass;
  return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void Win32Container::RemoveShape(const Win32Rectangle& shape) {
  shapes_.erase(std::remove(shapes_.begin(), shapes_.end(), &shape), shapes_.end());
}

void Win32Container::Paint(HDC dc) {
  RECT client;
  GetClientRect(Window(), &client);
  SetDCBrushColor(dc, BackgroundColor());
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  for (const Win32Rectangle* shape : shapes_) shape->PaintOn(dc);
  PaintContent(dc, client);
}

void Win32Container::CreateContainerWindow() {
  // Tab moves through the controls inside, as through the form's own.
  CreateChild(kContainerClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
}

}  // namespace veldrask::win32
