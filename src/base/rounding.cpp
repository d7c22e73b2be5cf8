#include "base/rounding.h"

#include <cmath>
#include <limits>

#include "base/error.h"

namespace veldrask {
namespace {

template <typename T>
T RoundChecked(double value) {
  const double rounded = RoundHalfEven(value);
  if (!(rounded >= std::numeric_limits<T>::min() && rounded <= std::numeric_limits<T>::max())) {
    throw Error(ErrorNumber::kOverflow);
  }
  return static_cast<T>(rounded);
}

}  // namespace

double RoundHalfEven(double value) {
  const double floor = std::floor(value);
  const double diff = value - floor;
  if (diff < 0.5) return floor;
  if (diff > 0.5) return floor + 1.0;
  return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

double RoundHalfAway(double value) {
  return std::round(value);
}

std::int16_t RoundToInt16(double value) {
  return RoundChecked<std::int16_t>(value);
}
std::int32_t RoundToInt32(double value) {
  return RoundChecked<std::int32_t>(value);
}

}  // namespace veldrask
