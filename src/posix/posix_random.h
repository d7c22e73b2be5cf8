#pragma once

#include <array>
#include <cstddef>

#include "platform/random.h"

namespace veldrask::posix {

// Draws from the kernel's generator (getrandom), a pool of bytes at a time: a boundary takes
// some seventy draws, and one system call for all of them is much cheaper than one each. The
// bytes are the kernel's own, used once each; nothing is derived or seeded here.
class PosixRandom : public Random {
 public:
  // 53 random bits scaled into [0, 1): never 1.0, unlike some generate_canonical versions.
  double Next() override;

 private:
  void Refill();

  std::array<unsigned char, 512> pool_{};
  std::size_t used_ = pool_.size();
};

}  // namespace veldrask::posix
