#pragma once

#include <windows.h>

#include <string>

#include "win32/ui/widget.h"

namespace veldrask::win32 {

// A rectangle outline, as light as a drawn shape: no window of its own; its container paints
// it beneath the container's child windows.
class Win32Rectangle : public Win32Widget {
 public:
  Win32Rectangle(Win32Form& form, std::string name, Win32Container& container, Bounds bounds);
  ~Win32Rectangle() override;

  void PaintOn(HDC dc) const;

 private:
  void ApplyCaption() override {}
  void ApplyVisible() override { InvalidateContainer(); }
  void ApplyPosition() override { InvalidateContainer(); }
  void InvalidateContainer() const;
};

}  // namespace veldrask::win32
