#pragma once

#include <cstdint>
#include <random>

#include "platform/random.h"

namespace veldrask::posix {

// A Mersenne Twister; unseeded objects start from the system's entropy source.
class PosixRandom : public Random {
 public:
  PosixRandom();
  explicit PosixRandom(std::uint32_t seed) : engine_(seed) {}

  void Seed(std::uint32_t seed) override { engine_.seed(seed); }
  // 53 random bits scaled into [0, 1): never 1.0, unlike some generate_canonical versions.
  double Next() override;

 private:
  std::mt19937 engine_;
};

}  // namespace veldrask::posix
