#include "upload/utf8_code_page.h"

#include <gtest/gtest.h>

namespace veldrask {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

TEST(Utf8CodePage, ValidTextPassesAndInvalidBytesAreReplaced) {
  const Utf8CodePage utf8;
  EXPECT_EQ(utf8.Name(), "UTF-8");
  EXPECT_EQ(utf8.Encode("가😀"), "가😀");
  EXPECT_EQ(utf8.Decode("가😀"), "가😀");
  EXPECT_EQ(utf8.Encode(kReplacement), kReplacement);
  EXPECT_EQ(utf8.Encode("a\xB0\xA1z"), "a??z");
  EXPECT_EQ(utf8.Decode("a\xB0\xA1z"),
            "a" + std::string(kReplacement) + std::string(kReplacement) + "z");
  EXPECT_EQ(utf8.Encode("\xED\xA0\x80"), "???");  // a surrogate
}

}  // namespace
}  // namespace veldrask
