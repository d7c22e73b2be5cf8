#pragma once

#include <cstdint>

namespace veldrask {

// Conversion of a number to an integer: to the nearest integer, halves to the even
// neighbour (1022.5 -> 1022, 1021.5 -> 1022). Raises overflow outside the type's range
// and for NaN.
std::int16_t RoundToInt16(double value);
std::int32_t RoundToInt32(double value);

// Nearest integer with halves going to the even neighbour, as a double (no range check).
double RoundHalfEven(double value);

// Nearest integer with halves going away from zero, as a double (no range check).
double RoundHalfAway(double value);

}  // namespace veldrask
