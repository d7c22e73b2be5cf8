#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/ui.h"

namespace veldrask::win32 {

// Twips to pixels at the screen's resolution: 1440 twips an inch, so 15 twips a pixel at
// 96 DPI. Positions round to the nearest pixel.
class PixelScale {
 public:
  // The screen's resolution as the system reports it.
  static PixelScale OfScreen();
  PixelScale(int dotsPerInchX, int dotsPerInchY) : dpiX_(dotsPerInchX), dpiY_(dotsPerInchY) {}

  int X(std::int32_t twips) const { return MulDiv(twips, dpiX_, kTwipsPerInch); }
  int Y(std::int32_t twips) const { return MulDiv(twips, dpiY_, kTwipsPerInch); }
  // Left, top, right and bottom in pixels.
  RECT Rect(const Bounds& bounds) const;
  // A point size as a font height in pixels (negative: the character height).
  int FontHeight(int points) const { return -MulDiv(points, dpiY_, 72); }

 private:
  static constexpr int kTwipsPerInch = 1440;
  int dpiX_;
  int dpiY_;
};

}  // namespace veldrask::win32
