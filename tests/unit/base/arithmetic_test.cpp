#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "base/checked.h"
#include "base/error.h"
#include "base/rounding.h"
#include "error_of.h"

namespace veldrask {
namespace {

using testing::ErrorOf;

TEST(Rounding, ConversionsGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundToInt32(1024 - 1.5), 1022);
  EXPECT_EQ(RoundToInt32(1024 - 2.5), 1022);
  EXPECT_EQ(RoundToInt32(0.5), 0);
  EXPECT_EQ(RoundToInt32(-0.5), 0);
  EXPECT_EQ(RoundToInt32(-1.5), -2);
  EXPECT_EQ(RoundToInt16(12.5), 12);
  EXPECT_EQ(RoundToInt16(13.5), 14);
  EXPECT_EQ(RoundToInt16(12.2), 12);
}

TEST(Rounding, ConversionsOutOfRangeOverflow) {
  EXPECT_EQ(RoundToInt16(32767.4), 32767);
  EXPECT_EQ(ErrorOf([] { RoundToInt16(32767.5); }), 6);
  EXPECT_EQ(RoundToInt16(-32768.5), -32768);
  EXPECT_EQ(ErrorOf([] { RoundToInt16(-32769); }), 6);
  EXPECT_EQ(RoundToInt32(2147483647.0), 2147483647);
  EXPECT_EQ(ErrorOf([] { RoundToInt32(2147483648.0); }), 6);
  EXPECT_EQ(ErrorOf([] { RoundToInt32(std::numeric_limits<double>::quiet_NaN()); }), 6);
}

TEST(CheckedArithmetic, RaisesOverflowAtTheEdgesInsteadOfWrapping) {
  const std::int16_t max16 = 32767;
  const std::int16_t one16 = 1;
  EXPECT_EQ(ErrorOf([&] { CheckedAdd(max16, one16); }), 6);
  EXPECT_EQ(CheckedAdd<std::int16_t>(32766, 1), 32767);
  EXPECT_EQ(ErrorOf([] { CheckedSub<std::int16_t>(-32768, 1); }), 6);
  EXPECT_EQ(ErrorOf([] { CheckedAdd<std::int32_t>(2147483647, 1); }), 6);
  EXPECT_EQ(CheckedMul<std::int32_t>(2097151, 1024), 2147482624);
  EXPECT_EQ(ErrorOf([] { CheckedMul<std::int32_t>(2097152, 1024); }), 6);
  EXPECT_EQ(CheckedMul<std::int32_t>(-2097152, 1024), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(ErrorOf([] { CheckedMul<std::int32_t>(2048, 1048576); }), 6);
  EXPECT_EQ(ErrorOf([] { CheckedNarrow<std::int32_t>(std::int64_t{1} << 31); }), 6);
  EXPECT_EQ(CheckedNarrow<std::int16_t>(std::int64_t{-32768}), -32768);
}

TEST(Errors, CarryANumberAndAKoreanDescription) {
  const Error overflow(ErrorNumber::kOverflow);
  EXPECT_EQ(overflow.Number(), 6);
  EXPECT_EQ(FormatErrorMessage(overflow), "[6] 오버플로");
  EXPECT_EQ(FormatErrorMessage(Error(ErrorNumber::kFileNotFound)), "[53] 파일을 찾을 수 없습니다.");
  EXPECT_EQ(Error(10061, "refused").Description(), "refused");
}

}  // namespace
}  // namespace veldrask
