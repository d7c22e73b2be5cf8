#pragma once

#include <string>

#include "platform/picture.h"
#include "win32/ui/container.h"

namespace veldrask::win32 {

// A drawing surface: the icon drawn last is painted at its top-left corner at the icon's own
// size, and it is the surface's picture.
class Win32PictureBox : public Win32Container, public PictureBox {
 public:
  Win32PictureBox(Win32Form& form, std::string name, Win32Container& container, Bounds bounds);

  void ClearPicture() override;
  void DrawIcon(const Picture& icon) override;
  Picture Snapshot() const override { return picture_; }

 private:
  COLORREF BackgroundColor() const override { return GetSysColor(COLOR_BTNFACE); }
  void PaintContent(HDC dc, const RECT& client) override;

  Picture picture_;
};

}  // namespace veldrask::win32
