#include "posix/system_clock.h"

#include <time.h>

#include <cerrno>
#include <system_error>

namespace veldrask::posix {

std::uint32_t SystemClock::TickCount() {
  timespec now{};
  if (clock_gettime(CLOCK_MONOTONIC, &now) != 0) {
    throw std::system_error(errno, std::generic_category(), "clock_gettime");
  }
  const auto milliseconds = static_cast<std::uint64_t>(now.tv_sec) * 1000U +
                            static_cast<std::uint64_t>(now.tv_nsec) / 1'000'000U;
  // Keeping the low 32 bits is the wrap at 2^32 that TicksBetween expects.
  return static_cast<std::uint32_t>(milliseconds);
}

}  // namespace veldrask::posix
