#include "win32/ui/rectangle.h"

#include "win32/ui/container.h"
#include "win32/ui/win32_ui.h"

namespace veldrask::win32 {

Win32Rectangle::Win32Rectangle(Win32Form& form, std::string name, Win32Container& container,
                               Bounds bounds)
    : Win32Widget(form, WidgetKind::kRectangle, std::move(name), &container, "", bounds) {
  container.AddShape(*this);
  InvalidateContainer();
}

Win32Rectangle::~Win32Rectangle() {
  ContainerWidget()->RemoveShape(*this);
}

void Win32Rectangle::PaintOn(HDC dc) const {
  if (!Visible()) return;
  const RECT area = Ui().Scale().Rect(Position());
  SetDCBrushColor(dc, GetSysColor(COLOR_BTNSHADOW));
  FrameRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void Win32Rectangle::InvalidateContainer() const {
  // The outline may have moved: repaint the whole container, which is small.
  InvalidateRect(ContainerWidget()->Window(), nullptr, FALSE);
}

}  // namespace veldrask::win32
