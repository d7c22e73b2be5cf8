#pragma once

#include <string>

#include "platform/locale.h"

namespace veldrask::posix {

// The user's number settings from the LC_NUMERIC category of the environment's locale (read
// once, at construction).
class PosixLocale : public Locale {
 public:
  // localeName "" means the locale the environment names (LC_ALL, LC_NUMERIC, LANG), not the
  // "C" locale a process starts in.
  explicit PosixLocale(const std::string& localeName = "");

  NumberStyle Numbers() const override { return style_; }

 private:
  NumberStyle style_;
};

}  // namespace veldrask::posix
