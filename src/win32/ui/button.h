#pragma once

#include <string>
#include <string_view>

#include "win32/ui/widget.h"

namespace veldrask::win32 {

// A push button: the user's click raises the click handler.
class Win32Button : public Win32Widget {
 public:
  Win32Button(Win32Form& form, std::string name, Win32Container& container,
              std::string_view caption, Bounds bounds);

  void OnCommand(WORD code) override;
};

}  // namespace veldrask::win32
