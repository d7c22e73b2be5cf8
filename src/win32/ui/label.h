#pragma once

#include <string>
#include <string_view>

#include "win32/ui/widget.h"

namespace veldrask::win32 {

// A label: static text in the system's window colours.
class Win32Label : public Win32Widget {
 public:
  Win32Label(Win32Form& form, std::string name, Win32Container& container, std::string_view caption,
             Bounds bounds);

  HBRUSH OnControlColor(HDC dc) override;
};

}  // namespace veldrask::win32
