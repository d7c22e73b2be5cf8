#pragma once

#include <string>
#include <string_view>

#include "win32/ui/container.h"

namespace veldrask::win32 {

// A frame: a white container with an etched border and its caption in the top edge.
class Win32Frame : public Win32Container {
 public:
  Win32Frame(Win32Form& form, std::string name, Win32Container& container, std::string_view caption,
             Bounds bounds);

 private:
  COLORREF BackgroundColor() const override { return RGB(255, 255, 255); }
  void PaintContent(HDC dc, const RECT& client) override;
  void ApplyCaption() override { InvalidateRect(Window(), nullptr, FALSE); }
};

}  // namespace veldrask::win32
