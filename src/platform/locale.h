#pragma once

#include "base/number_format.h"

namespace veldrask {

class Locale {
 public:
  virtual ~Locale() = default;
  // The user's digit grouping, decimal separator and leading-zero setting.
  virtual NumberStyle Numbers() const = 0;
};

}  // namespace veldrask
