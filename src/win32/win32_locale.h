#pragma once

#include "platform/locale.h"

namespace veldrask::win32 {

// The user's number settings (Regional Settings: digit grouping symbol, decimal symbol, digit
// grouping, leading zero) read once, at construction, with GetLocaleInfoEx.
class Win32Locale : public Locale {
 public:
  Win32Locale();

  NumberStyle Numbers() const override { return style_; }

 private:
  NumberStyle style_;
};

}  // namespace veldrask::win32
