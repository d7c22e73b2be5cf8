#include "win32/ui/picture_box.h"

#include "win32/ui/icon_picture.h"

namespace veldrask::win32 {

Win32PictureBox::Win32PictureBox(Win32Form& form, std::string name, Win32Container& container,
                                 Bounds bounds)
    : Win32Container(form, WidgetKind::kPictureBox, std::move(name), &container, "", bounds) {
  CreateContainerWindow();
}

void Win32PictureBox::ClearPicture() {
  picture_ = Picture{};
  InvalidateRect(Window(), nullptr, FALSE);
}

void Win32PictureBox::DrawIcon(const Picture& icon) {
  picture_ = icon;
  InvalidateRect(Window(), nullptr, FALSE);
}

void Win32PictureBox::PaintContent(HDC dc, const RECT& client) {
  HICON icon = IconOf(picture_);
  if (icon != nullptr) DrawIconEx(dc, client.left, client.top, icon, 0, 0, 0, nullptr, DI_NORMAL);
}

}  // namespace veldrask::win32
