#include "posix/system_clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace veldrask::posix {
namespace {

TEST(SystemClock, TicksFollowTheMonotonicClockInMilliseconds) {
  SystemClock clock;
  const auto steadyBefore = std::chrono::steady_clock::now();
  const std::uint32_t before = clock.TickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const std::uint32_t after = clock.TickCount();
  const auto steadyElapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - steadyBefore);

  const std::int32_t elapsed = TicksBetween(before, after);
  EXPECT_GE(elapsed, 29);  // millisecond truncation of both readings
  EXPECT_LE(elapsed, steadyElapsed.count() + 1);
}

}  // namespace
}  // namespace veldrask::posix
