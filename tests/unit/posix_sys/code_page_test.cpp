#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "posix/iconv_code_page.h"

namespace veldrask::posix {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

TEST(IconvCodePage, HangulRoundTripsThroughCp949) {
  const IconvCodePage cp949;
  EXPECT_EQ(cp949.Name(), "CP949");
  EXPECT_EQ(cp949.Encode("가"), "\xB0\xA1");
  EXPECT_EQ(cp949.Decode("\xB0\xA1"), "가");
  // Syllables outside KS X 1001 use the extended (UHC) area.
  EXPECT_EQ(cp949.Encode("똠"), "\x8C\x63");
  const std::string text = "보고서 2005년.doc (최종) 똠방각하";
  EXPECT_EQ(cp949.Decode(cp949.Encode(text)), text);
  EXPECT_EQ(cp949.Encode(std::string_view("a\0b", 3)), std::string_view("a\0b", 3));
  EXPECT_EQ(cp949.Encode(""), "");
  // Long enough to be converted in several pieces, with characters cut at their edges.
  std::string longText;
  for (int i = 0; i < 1500; ++i) longText += i % 3 == 0 ? "가a" : "나";
  const std::string longEncoded = cp949.Encode(longText);
  EXPECT_EQ(longEncoded.size(), 3500u);
  EXPECT_EQ(cp949.Decode(longEncoded), longText);
}

TEST(IconvCodePage, MissingCharactersAndInvalidUtf8BecomeOneQuestionMarkEach) {
  const IconvCodePage cp949;
  EXPECT_EQ(cp949.Encode("😀"), "?");
  EXPECT_EQ(cp949.Encode("a😀b😀😀"), "a?b??");
  EXPECT_EQ(cp949.Encode("가ก나"), "\xB0\xA1?\xB3\xAA");  // Thai is not in CP949
  EXPECT_EQ(cp949.Encode("a\xFF"
                         "b"),
            "a?b");
  EXPECT_EQ(cp949.Encode("\xC0\x80"), "??");            // an overlong NUL
  EXPECT_EQ(cp949.Encode("가\xEA\xB0"), "\xB0\xA1??");  // cut off at the end
  std::string longText;
  for (int i = 0; i < 3000; ++i) longText += "가😀";
  const std::string encoded = cp949.Encode(longText);
  ASSERT_EQ(encoded.size(), 9000u);
  EXPECT_EQ(encoded.substr(8997), "\xB0\xA1?");
}

TEST(IconvCodePage, InvalidBytesDecodeToReplacementCharacters) {
  const IconvCodePage cp949;
  EXPECT_EQ(cp949.Decode("a\xFF"
                         "b"),
            std::string("a") + std::string(kReplacement) + "b");
  EXPECT_EQ(cp949.Decode("\xB0\xA1\xB0"), "가" + std::string(kReplacement));
  EXPECT_EQ(cp949.Decode("plain ascii"), "plain ascii");
}

TEST(IconvCodePage, OtherCodePagesAndUnknownNames) {
  const IconvCodePage latin1("ISO-8859-1");
  EXPECT_EQ(latin1.Name(), "ISO-8859-1");
  EXPECT_EQ(latin1.Encode("é가"), "\xE9?");
  EXPECT_EQ(latin1.Decode("\xE9"), "é");
  // Not ASCII-compatible: the copy shortcut must not apply.
  const IconvCodePage utf16("UTF-16LE");
  EXPECT_EQ(utf16.Encode("A"), std::string("A\0", 2));
  EXPECT_THROW(IconvCodePage("NO-SUCH-CODE-PAGE"), std::invalid_argument);
}

}  // namespace
}  // namespace veldrask::posix
