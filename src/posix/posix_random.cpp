#include "posix/posix_random.h"

namespace veldrask::posix {

PosixRandom::PosixRandom() : engine_(std::random_device{}()) {}

double PosixRandom::Next() {
  const std::uint_fast32_t high = engine_() >> 5;  // 27 bits
  const std::uint_fast32_t low = engine_() >> 6;   // 26 bits
  return (static_cast<double>(high) * 67108864.0 + static_cast<double>(low)) / 9007199254740992.0;
}

}  // namespace veldrask::posix
