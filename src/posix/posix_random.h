#pragma once

#include "platform/random.h"

namespace veldrask::posix {

// Draws from the kernel's generator (getrandom) every time: no state of its own to recover.
class PosixRandom : public Random {
 public:
  // 53 random bits scaled into [0, 1): never 1.0, unlike some generate_canonical versions.
  double Next() override;
};

}  // namespace veldrask::posix
