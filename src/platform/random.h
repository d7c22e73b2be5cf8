#pragma once

#include <cstdint>

namespace veldrask {

class Random {
 public:
  virtual ~Random() = default;
  virtual void Seed(std::uint32_t seed) = 0;
  // A uniform fraction in [0, 1).
  virtual double Next() = 0;
};

}  // namespace veldrask
