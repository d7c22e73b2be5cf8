#pragma once

#include <cstdint>

namespace veldrask {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start, wrapping at 2^32.
  virtual std::uint32_t TickCount() = 0;
};

// Milliseconds between two readings as the plain 32-bit difference.
inline std::int32_t TicksBetween(std::uint32_t from, std::uint32_t to) {
  return static_cast<std::int32_t>(to - from);
}

}  // namespace veldrask
