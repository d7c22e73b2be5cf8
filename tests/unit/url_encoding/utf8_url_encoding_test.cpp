#include "common/utf8_url_encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "base/error.h"

namespace veldrask {
namespace {

TEST(Utf8UrlEncodingTest, EachEscapeIsOneByteOfUtf8) {
  const struct {
    std::string_view encoded;
    std::string_view decoded;
  } cases[] = {
      {"%EB%B3%B4%EA%B3%A0%EC%84%9C.txt", "보고서.txt"},
      {"/files/%ea%b0%80+b%2Etxt", "/files/가+b.txt"},  // lower-case digits; "+" stays
      {"%FF%41",
       "\xEF\xBF\xBD"
       "A"},  // a byte that is no UTF-8
      {"plain", "plain"},
  };
  for (const auto& c : cases) EXPECT_EQ(UrlDecodeUtf8(c.encoded), c.decoded) << c.encoded;
  for (const std::string_view bad : {"%", "%4", "%G1", "a%2"}) {
    EXPECT_THROW(UrlDecodeUtf8(bad), Error) << bad;
  }
}

TEST(Utf8UrlEncodingTest, EncodingKeepsLettersAndDigitsAndRoundTrips) {
  EXPECT_EQ(UrlEncodeUtf8("보 a.txt"), "%EB%B3%B4+a%2Etxt");
  for (const std::string_view text : {"보고서 1.txt", "a/b?c=d&e", "😀"}) {
    std::string encoded = UrlEncodeUtf8(text);
    // The encoder's "+" for a space is read back as "+", as the control's own pair does.
    for (char& c : encoded) {
      if (c == '+') c = ' ';
    }
    EXPECT_EQ(UrlDecodeUtf8(encoded), text);
  }
}

}  // namespace
}  // namespace veldrask
