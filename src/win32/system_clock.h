#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace veldrask::win32 {

// GetTickCount: milliseconds since the system started, wrapping at 2^32 as the seam expects.
class SystemClock final : public Clock {
 public:
  std::uint32_t TickCount() override;
};

}  // namespace veldrask::win32
