#include "base/number_format.h"

#include <gtest/gtest.h>

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
}

}  // namespace
}  // namespace veldrask
