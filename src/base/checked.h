#pragma once

// Arithmetic in the widths of the control's interface (16- and 32-bit signed). A result
// outside the range raises the overflow error; nothing wraps.

#include <cstdint>
#include <limits>
#include <type_traits>
#include <utility>

#include "base/error.h"

namespace veldrask {

template <typename T>
concept CheckedInteger = std::is_same_v<T, std::int16_t> || std::is_same_v<T, std::int32_t>;

template <CheckedInteger T>
T CheckedAdd(T a, T b) {
  T result;
  if (__builtin_add_overflow(a, b, &result)) throw Error(ErrorNumber::kOverflow);
  return result;
}

template <CheckedInteger T>
T CheckedSub(T a, T b) {
  T result;
  if (__builtin_sub_overflow(a, b, &result)) throw Error(ErrorNumber::kOverflow);
  return result;
}

template <CheckedInteger T>
T CheckedMul(T a, T b) {
  T result;
  if (__builtin_mul_overflow(a, b, &result)) throw Error(ErrorNumber::kOverflow);
  return result;
}

// Narrows a wider integer to T, raising overflow when it does not fit.
template <CheckedInteger T, typename From>
requires std::is_integral_v<From> T CheckedNarrow(From value) {
  if (!std::in_range<T>(value)) throw Error(ErrorNumber::kOverflow);
  return static_cast<T>(value);
}

}  // namespace veldrask
