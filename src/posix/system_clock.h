#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace veldrask::posix {

// Milliseconds of the monotonic clock, so wall-clock changes never move a measured interval.
class SystemClock final : public Clock {
 public:
  std::uint32_t TickCount() override;
};

}  // namespace veldrask::posix
