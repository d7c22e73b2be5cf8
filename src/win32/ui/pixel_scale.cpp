#include "win32/ui/pixel_scale.h"

namespace veldrask::win32 {

PixelScale PixelScale::OfScreen() {
  HDC screen = GetDC(nullptr);
  const PixelScale scale(GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY));
  ReleaseDC(nullptr, screen);
  return scale;
}

RECT PixelScale::Rect(const Bounds& bounds) const {
  const int left = X(bounds.left);
  const int top = Y(bounds.top);
  return RECT{left, top, left + X(bounds.width), top + Y(bounds.height)};
}

}  // namespace veldrask::win32
