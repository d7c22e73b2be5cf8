#include "base/number_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <vector>

namespace veldrask {
namespace {

const NumberStyle kComma{};

TEST(NumberFormat, N0GroupsDigitsAndRoundsHalvesAwayFromZero) {
  EXPECT_EQ(FormatN0(5000112, kComma), "5,000,112");
  EXPECT_EQ(FormatN0(1024, kComma), "1,024");
  EXPECT_EQ(FormatN0(999, kComma), "999");
  EXPECT_EQ(FormatN0(0, kComma), "0");
  EXPECT_EQ(FormatN0(2147482624.0, kComma), "2,147,482,624");
  EXPECT_EQ(FormatN0(-1234567, kComma), "-1,234,567");
  EXPECT_EQ(FormatN0(2.5, kComma), "3");
  EXPECT_EQ(FormatN0(1.5, kComma), "2");
  EXPECT_EQ(FormatN0(2100.0 / 1024, kComma), "2");
  EXPECT_EQ(FormatN0(-2.5, kComma), "-3");
  // Beyond the range where doubles hold every integer the digits still come out whole.
  EXPECT_EQ(FormatN0(9007199254740991.0, kComma), "9,007,199,254,740,991");
  EXPECT_EQ(FormatN0(1e17, kComma), "100,000,000,000,000,000");
}

TEST(NumberFormat, N0FollowsTheUsersSeparatorAndGrouping) {
  NumberStyle dots{".", ",", 3, true};
  EXPECT_EQ(FormatN0(1234567, dots), "1.234.567");
  NumberStyle none{",", ".", 0, true};
  EXPECT_EQ(FormatN0(1234567, none), "1234567");
}

// The integer way of the progress byte counts must give the texts of the general way: FormatN0
// through double, and the whole part of FormatN2, whose grouping is its own code.
TEST(NumberFormat, AppendN0MatchesTheGeneralWayOverManyValuesAndStyles) {
  const std::vector<NumberStyle> styles = {
      kComma,
      {".", ",", 3, true},
      {",", ".", 0, true},       // no grouping
      {"\u00a0", ",", 4, true},  // a separator of two bytes, groups of four
      {"'", ".", 1, true},
      {"<thin-space>", ".", 2, true},  // longer than any locale's: the general way
  };
  std::vector<std::int64_t> values = {0, std::numeric_limits<std::int32_t>::max(),
                                      std::numeric_limits<std::int32_t>::min(),
                                      std::int64_t{1} << 53, -(std::int64_t{1} << 53)};
  for (std::int64_t power = 1; power <= std::int64_t{1000000000000000}; power *= 10) {
    for (const std::int64_t near : {power - 1, power, power + 1, -power, -power + 1}) {
      values.push_back(near);
    }
  }
  std::uint32_t spread = 12345;
  for (int i = 0; i < 200; ++i) {
    spread = spread * 1664525 + 1013904223;
    values.push_back(static_cast<std::int32_t>(spread) >> (i % 31));
  }
  constexpr std::int64_t kExactHundredths = (std::int64_t{1} << 53) / 100;
  for (const NumberStyle& style : styles) {
    for (const std::int64_t value : values) {
      SCOPED_TRACE(style.groupSeparator + " " + std::to_string(value));
      std::string text = "x";
      AppendN0(text, value, style);
      EXPECT_EQ(text, "x" + FormatN0(static_cast<double>(value), style));
      // N2 holds hundredths in a double: exact while value * 100 stays below 2^53.
      if (value > kExactHundredths || value < -kExactHundredths) continue;
      const std::string n2 = FormatN2(static_cast<double>(value), style);
      EXPECT_EQ(text.substr(1), n2.substr(0, n2.size() - style.decimalSeparator.size() - 2));
    }
  }
}

TEST(NumberFormat, N2HasTwoDecimalsAndHonoursLeadingZero) {
  EXPECT_EQ(FormatN2(0.5, kComma), "0.50");
  EXPECT_EQ(FormatN2(80, kComma), "80.00");
  EXPECT_EQ(FormatN2(12345.678, kComma), "12,345.68");
  NumberStyle noLeadingZero{",", ".", 3, false};
  EXPECT_EQ(FormatN2(0.5, noLeadingZero), ".50");
  NumberStyle comma{".", ",", 3, true};
  EXPECT_EQ(FormatN2(1234.5, comma), "1.234,50");
}

TEST(NumberFormat, PTruncates) {
  std::string appended = "(";
  AppendP(appended, 8191.0 / 8192 * 100);
  EXPECT_EQ(appended, "(99");
  EXPECT_EQ(FormatP(8191.0 / 8192 * 100), "99");
  EXPECT_EQ(FormatP(100), "100");
  EXPECT_EQ(FormatP(0.9), "0");
  EXPECT_EQ(FormatP(-0.5), "-1");
}

TEST(NumberFormat, HmsPadsToTwoDigitsWithoutCappingHours) {
  EXPECT_EQ(FormatHms(0), "00:00:00");
  EXPECT_EQ(FormatHms(59), "00:00:59");
  EXPECT_EQ(FormatHms(3600), "01:00:00");
  EXPECT_EQ(FormatHms(3725), "01:02:05");
  EXPECT_EQ(FormatHms(360000), "100:00:00");
  // printf's %02d fields, negative values included.
  for (const std::int32_t seconds : {1, 9, 10, 60, 61, 599, 3599, 35999, 36000, 86399, 359999,
                                     std::numeric_limits<std::int32_t>::max(), -1, -61, -3725,
                                     std::numeric_limits<std::int32_t>::min()}) {
    char expected[48];
    std::snprintf(expected, sizeof expected, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    EXPECT_EQ(FormatHms(seconds), expected) << seconds;
  }
}

}  // namespace
}  // namespace veldrask
