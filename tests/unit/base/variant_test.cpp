#include "base/variant.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "error_of.h"

namespace veldrask {
namespace {

using testing::ErrorOf;

TEST(Variant, TextConvertsToIntegersLikeTheScriptingHost) {
  EXPECT_EQ(Variant("12").ToInt16(), 12);
  EXPECT_EQ(Variant(" 12 ").ToInt16(), 12);
  EXPECT_EQ(Variant("2.5").ToInt16(), 2);
  EXPECT_EQ(Variant("3.5").ToInt32(), 4);
  EXPECT_EQ(Variant("-2097152").ToInt32(), -2097152);
  EXPECT_EQ(Variant("1e3").ToInt32(), 1000);
  EXPECT_EQ(Variant(std::int32_t{70000}).ToInt32(), 70000);
  EXPECT_EQ(Variant(true).ToInt16(), -1);
  EXPECT_EQ(Variant().ToInt32(), 0);
}

TEST(Variant, BadTextIsATypeMismatchAndRangeAnOverflow) {
  EXPECT_EQ(ErrorOf([] { Variant("abc").ToInt16(); }), 13);
  EXPECT_EQ(ErrorOf([] { Variant("").ToInt16(); }), 13);
  EXPECT_EQ(ErrorOf([] { Variant("12abc").ToInt32(); }), 13);
  EXPECT_EQ(ErrorOf([] { Variant("32768").ToInt16(); }), 6);
  EXPECT_EQ(ErrorOf([] { Variant(std::int32_t{40000}).ToInt16(); }), 6);
  EXPECT_EQ(ErrorOf([] { Variant("3000000000").ToInt32(); }), 6);
  EXPECT_EQ(ErrorOf([] { Variant(Variant::FileArray{}).ToString(); }), 13);
}

TEST(Variant, ConvertsToTextAndBooleans) {
  EXPECT_EQ(Variant(std::int16_t{80}).ToString(), "80");
  EXPECT_EQ(Variant(true).ToString(), "True");
  EXPECT_EQ(Variant(1.5).ToString(), "1.5");
  EXPECT_EQ(Variant().ToString(), "");
  EXPECT_TRUE(Variant("true").ToBool());
  EXPECT_FALSE(Variant("0").ToBool());
  EXPECT_TRUE(Variant::FromBool(true).ToBool());
  EXPECT_EQ(Variant::FromBool(true).ToInt16(), -1);
}

}  // namespace
}  // namespace veldrask
