#pragma once

#include <cstdint>
#include <string>

namespace veldrask {

// The user's settings behind the number formats (the platform's Locale supplies them).
struct NumberStyle {
  std::string groupSeparator = ",";
  std::string decimalSeparator = ".";
  int groupSize = 3;        // 0 means no grouping
  bool leadingZero = true;  // "0.50" rather than ".50"
};

// N0: no decimals, the user's digit grouping; halves round away from zero, as the
// platform's number formatter does (5000112 -> "5,000,112").
std::string FormatN0(double value, const NumberStyle& style);

// N2: exactly two decimals with the user's grouping and leading-zero setting (0.5 -> "0.50").
std::string FormatN2(double value, const NumberStyle& style);

// FormatN0 of a whole number appended to out, without the way through double: the byte counts
// of the progress texts come here after every block. The same text as FormatN0 for every value
// a double holds exactly (|value| <= 2^53).
void AppendN0(std::string& out, std::int64_t value, const NumberStyle& style);

// P: the integer part (rounded down) in plain decimal, as the percentages show it.
std::string FormatP(double value);
// FormatP appended to out.
void AppendP(std::string& out, double value);

// hh:mm:ss with at least two digits each; hours are not limited (360000 -> "100:00:00").
std::string FormatHms(std::int32_t seconds);

}  // namespace veldrask
