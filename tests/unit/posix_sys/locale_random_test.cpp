#include <gtest/gtest.h>

#include <set>

#include "posix/posix_locale.h"
#include "posix/posix_random.h"

namespace veldrask::posix {
namespace {

void ExpectKoreanStyle(const NumberStyle& style) {
  EXPECT_EQ(style.groupSeparator, ",");
  EXPECT_EQ(style.decimalSeparator, ".");
  EXPECT_EQ(style.groupSize, 3);
  EXPECT_TRUE(style.leadingZero);
}

TEST(PosixLocale, LocalesWithoutGroupingFallBackToTheKoreanStyle) {
  ExpectKoreanStyle(PosixLocale("C").Numbers());
  ExpectKoreanStyle(PosixLocale("POSIX").Numbers());
  ExpectKoreanStyle(PosixLocale("xx_NOWHERE.UTF-8").Numbers());
  EXPECT_EQ(FormatN0(5000112, PosixLocale("C").Numbers()), "5,000,112");
}

TEST(PosixRandom, DrawsStayInRangeAndDoNotRepeat) {
  PosixRandom first;
  PosixRandom second;
  std::set<double> seen;
  for (int i = 0; i < 10000; ++i) {
    for (const double value : {first.Next(), second.Next()}) {
      ASSERT_GE(value, 0.0);
      ASSERT_LT(value, 1.0);
      seen.insert(value);
    }
  }
  // Two generators of the kernel's randomness share no sequence; 53 bits hardly ever collide.
  EXPECT_GT(seen.size(), 19990u);
}

}  // namespace
}  // namespace veldrask::posix
