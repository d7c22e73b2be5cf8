#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "win32/ui/widget.h"

namespace veldrask::win32 {

class Win32Rectangle;

// The window class of forms, frames and picture boxes.
inline constexpr wchar_t kContainerClass[] = L"VeldraskContainer";

// A widget whose window holds other widgets: the form, frames and picture boxes. Its window
// procedure hands every notification of a child window (commands, common-control
// notifications, colour requests) to that child's widget, so a frame passes its children's
// clicks and list events on as the form does, and it paints the rectangles inside it.
class Win32Container : public Win32Widget {
 public:
  using Win32Widget::Win32Widget;

  // Registers the window class for instance; false when that failed.
  static bool RegisterWindowClass(HINSTANCE instance);

  void AddShape(const Win32Rectangle& shape) { shapes_.push_back(&shape); }
  void RemoveShape(const Win32Rectangle& shape);

  // Paints the background, then the shapes, then the container's own content.
  void Paint(HDC dc);
  // The user asked to close the window (its close box); only forms have one.
  virtual void OnCloseRequest() {}

 protected:
  // Creates the container's window as a child of its container's window.
  void CreateContainerWindow();
  virtual COLORREF BackgroundColor() const = 0;
  virtual void PaintContent(HDC /*dc*/, const RECT& /*client*/) {}

 private:
  std::vector<const Win32Rectangle*> shapes_;
};

}  // namespace veldrask::win32
