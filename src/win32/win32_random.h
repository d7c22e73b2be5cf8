#pragma once

#include <cstdint>
#include <random>

#include "platform/random.h"

namespace veldrask::win32 {

// A Mersenne Twister; unseeded objects start from the system's random number generator
// (BCryptGenRandom).
class Win32Random : public Random {
 public:
  Win32Random();
  explicit Win32Random(std::uint32_t seed) : engine_(seed) {}

  void Seed(std::uint32_t seed) override { engine_.seed(seed); }
  // 53 random bits scaled into [0, 1): never 1.0.
  double Next() override;

 private:
  std::mt19937 engine_;
};

}  // namespace veldrask::win32
