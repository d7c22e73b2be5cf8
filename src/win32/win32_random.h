#pragma once

#include "platform/random.h"

namespace veldrask::win32 {

// Every draw from the system's generator (BCryptGenRandom), so no earlier draw or clock
// predicts the next.
class Win32Random : public Random {
 public:
  // 53 random bits scaled into [0, 1): never 1.0.
  double Next() override;
};

}  // namespace veldrask::win32
