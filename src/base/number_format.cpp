#include "base/number_format.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "base/rounding.h"

namespace veldrask {
namespace {

constexpr double kExactLimit = 9007199254740992.0;  // 2^53

// "000" to "999" one after another.
constexpr std::array<char, 3000> kTriples = [] {
  std::array<char, 3000> triples{};
  for (std::size_t i = 0; i < 1000; ++i) {
    triples[3 * i] = static_cast<char>('0' + i / 100);
    triples[3 * i + 1] = static_cast<char>('0' + i / 10 % 10);
    triples[3 * i + 2] = static_cast<char>('0' + i % 10);
  }
  return triples;
}();

// Appends the decimal digits of a whole number held in a double. Integers up to 2^53 go
// through to_chars, which is many times faster than snprintf("%.0f") on the per-block path.
void AppendWholeNumber(std::string& out, double whole) {
  char buffer[400];
  if (std::fabs(whole) < kExactLimit) {
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(whole));
    out.append(buffer, result.ptr);
    return;
  }
  std::snprintf(buffer, sizeof buffer, "%.0f", whole);
  out += buffer;
}

std::string WholeNumberText(double whole) {
  std::string text;
  AppendWholeNumber(text, whole);
  return text;
}

// Appends digits with the style's group separator between groups.
void AppendGrouped(std::string& text, std::string_view digits, const NumberStyle& style) {
  const std::size_t size =
      style.groupSize > 0 ? static_cast<std::size_t>(style.groupSize) : digits.size();
  const std::size_t lead = digits.size() % size == 0 ? size : digits.size() % size;
  text.append(digits.substr(0, lead));
  for (std::size_t i = lead; i < digits.size(); i += size) {
    text += style.groupSeparator;
    text.append(digits.substr(i, size));
  }
}

// A whole number below 2^53 in magnitude, grouped, built in one buffer: the byte counts of
// the progress texts come here twice per block.
std::string GroupedWholeNumber(long long whole, const NumberStyle& style) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, whole < 0 ? -whole : whole).ptr;
  std::string text(whole < 0 ? "-" : "");
  AppendGrouped(text, std::string_view(digits, end), style);
  return text;
}

// Formats |value| (already rounded to whole units of 10^-decimals) with the given number
// of decimals.
std::string FormatFixed(double value, int decimals, const NumberStyle& style) {
  // Whole numbers that a long long holds exactly take the short way.
  if (decimals == 0) {
    const double whole = RoundHalfAway(value);
    if (std::fabs(whole) < kExactLimit) {
      return GroupedWholeNumber(static_cast<long long>(whole), style);
    }
  }
  const double scale = decimals == 0 ? 1.0 : std::pow(10.0, decimals);
  const double units = RoundHalfAway(value * scale);
  const bool negative = units < 0;
  std::string digits = WholeNumberText(std::fabs(units));
  if (digits.size() <= static_cast<std::size_t>(decimals)) {
    digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
  }
  std::string whole = digits.substr(0, digits.size() - static_cast<std::size_t>(decimals));
  std::string text = negative ? "-" : "";
  if (!(whole == "0" && decimals > 0 && !style.leadingZero)) AppendGrouped(text, whole, style);
  if (decimals > 0) {
    text += style.decimalSeparator;
    text += digits.substr(digits.size() - static_cast<std::size_t>(decimals));
  }
  return text;
}

}  // namespace

std::string FormatN0(double value, const NumberStyle& style) {
  return FormatFixed(value, 0, style);
}

std::string FormatN2(double value, const NumberStyle& style) {
  return FormatFixed(value, 2, style);
}

void AppendN0(std::string& out, std::int64_t value, const NumberStyle& style) {
  // Written backwards from the end of one buffer, separators included, then appended once.
  constexpr std::size_t kLongestSeparator = 8;  // longer than any locale's
  const std::string& separator = style.groupSeparator;
  if (separator.size() > kLongestSeparator) {
    out += GroupedWholeNumber(value, style);
    return;
  }
  char buffer[1 + 20 * (1 + kLongestSeparator)];
  char* const end = buffer + sizeof buffer;
  char* at = end;
  std::uint64_t magnitude = value < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(value)
                                      : static_cast<std::uint64_t>(value);
  const auto putSeparator = [&] {
    at -= separator.size();
    separator.copy(at, separator.size());
  };
  if (style.groupSize == 3) {
    // The usual grouping: whole groups three digits at a time.
    for (; magnitude >= 1000; magnitude /= 1000) {
      at -= 3;
      std::memcpy(at, &kTriples[3 * static_cast<std::size_t>(magnitude % 1000)], 3);
      putSeparator();
    }
  }
  for (int inGroup = 0;;) {
    *--at = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
    if (magnitude == 0) break;
    if (++inGroup == style.groupSize) {
      putSeparator();
      inGroup = 0;
    }
  }
  if (value < 0) *--at = '-';
  out.append(at, end);
}

std::string FormatP(double value) {
  return WholeNumberText(std::floor(value));
}

void AppendP(std::string& out, double value) {
  AppendWholeNumber(out, std::floor(value));
}

std::string FormatHms(std::int32_t seconds) {
  char buffer[48];
  if (seconds < 0) {
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return buffer;
  }
  // The remaining time after a timed block: printf's way costs more than the rest of the texts.
  const auto twoDigits = [](char* at, std::int32_t value) {
    at[0] = static_cast<char>('0' + value / 10);
    at[1] = static_cast<char>('0' + value % 10);
  };
  const std::int32_t hours = seconds / 3600;
  char* at = buffer;
  if (hours < 10) *at++ = '0';
  at = std::to_chars(at, buffer + sizeof buffer, hours).ptr;
  *at++ = ':';
  twoDigits(at, seconds / 60 % 60);
  at[2] = ':';
  twoDigits(at + 3, seconds % 60);
  return std::string(buffer, at + 5);
}

}  // namespace veldrask
