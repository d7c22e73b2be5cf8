#include "common/url_encoding.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "base/error.h"
#include "base/text.h"

namespace veldrask {
namespace {

// A few CP949 syllables and ASCII; anything else is "?" one way and U+FFFD the other.
class FakeCp949 : public CodePage {
 public:
  std::string_view Name() const override { return "CP949"; }

  std::string Encode(std::string_view utf8) const override {
    std::string bytes;
    std::size_t offset = 0;
    while (offset < utf8.size()) {
      const std::size_t start = offset;
      const char32_t code = NextCodePoint(utf8, offset);
      const std::string character(utf8.substr(start, offset - start));
      if (code < 0x80) {
        bytes += static_cast<char>(code);
      } else if (const auto found = kSyllables.find(character); found != kSyllables.end()) {
        bytes += found->second;
      } else {
        bytes += '?';
      }
    }
    return bytes;
  }

  std::string Decode(std::string_view bytes) const override {
    std::string utf8;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (static_cast<unsigned char>(bytes[i]) < 0x80) {
        utf8 += bytes[i];
        continue;
      }
      bool matched = false;
      for (const auto& [character, pair] : kSyllables) {
        if (bytes.substr(i, 2) == pair) {
          utf8 += character;
          ++i;
          matched = true;
          break;
        }
      }
      if (!matched) utf8 += "\uFFFD";
    }
    return utf8;
  }

 private:
  inline static const std::map<std::string, std::string> kSyllables = {
      {"가", "\xB0\xA1"}, {"각", "\xB0\xA2"}, {"한", "\xC7\xD1"}, {"글", "\xB1\xDB"}};
};

int DecodeErrorNumber(std::string_view text) {
  try {
    UrlDecode(text, FakeCp949());
  } catch (const Error& error) {
    return error.Number();
  }
  return 0;
}

TEST(UrlDecode, SingleByteEscapesAndPlainCharacters) {
  const FakeCp949 ansi;
  EXPECT_EQ(UrlDecode("a+b%20c", ansi), "a+b c");
  EXPECT_EQ(UrlDecode("%41%62", ansi), "Ab");
  EXPECT_EQ(UrlDecode("%4a%4A", ansi), "JJ");
  EXPECT_EQ(UrlDecode("x%4", ansi), "x\x04");
  EXPECT_EQ(UrlDecode("%00", ansi), std::string(1, '\0'));
  EXPECT_EQ(UrlDecode("files/가.txt", ansi), "files/가.txt");
  EXPECT_EQ(UrlDecode("\xFF%41", ansi),
            "\xFF"
            "A");
  EXPECT_EQ(UrlDecode("", ansi), "");
}

TEST(UrlDecode, DoubleByteEscapes) {
  const FakeCp949 ansi;
  EXPECT_EQ(UrlDecode("%B0%A1", ansi), "가");
  EXPECT_EQ(UrlDecode("%b0%a2.txt", ansi), "각.txt");
  EXPECT_EQ(UrlDecode("/%C7%D1%B1%DB/", ansi), "/한글/");
  // The escape reads "B0A1%" and skips six characters, so the second one is left as text.
  EXPECT_EQ(UrlDecode("%B0A1%B0A1", ansi), "가B0A1");
  // Three digits at the end: 0B0A, two single bytes.
  EXPECT_EQ(UrlDecode("%B0%A", ansi), "\x0B\n");
  // A lone lead byte is no character.
  EXPECT_EQ(UrlDecode("%B0", ansi), "\uFFFD");
}

TEST(UrlDecode, BadEscapesAreTypeMismatches) {
  EXPECT_EQ(DecodeErrorNumber("%zz"), 13);
  EXPECT_EQ(DecodeErrorNumber("abc%"), 13);
  EXPECT_EQ(DecodeErrorNumber("%4z"), 13);
  EXPECT_EQ(DecodeErrorNumber("%%41"), 13);
  EXPECT_EQ(DecodeErrorNumber("%B0%G1"), 13);
  EXPECT_EQ(DecodeErrorNumber("%B0A1B"), 13);  // five digits do not fit a double-byte code
  EXPECT_EQ(DecodeErrorNumber("%4가"), 13);
}

TEST(UrlEncode, EscapesEverythingButLettersAndDigits) {
  const FakeCp949 ansi;
  EXPECT_EQ(UrlEncode("a b.txt", ansi), "a+b%2Etxt");
  EXPECT_EQ(UrlEncode("\t", ansi), "%9");
  EXPECT_EQ(UrlEncode(std::string(1, '\0'), ansi), "%0");
  EXPECT_EQ(UrlEncode("AZaz09", ansi), "AZaz09");
  EXPECT_EQ(UrlEncode("-_.~/%+", ansi), "%2D%5F%2E%7E%2F%25%2B");
  EXPECT_EQ(UrlEncode("", ansi), "");
}

TEST(UrlEncode, DoubleByteAndUnrepresentableCharacters) {
  const FakeCp949 ansi;
  EXPECT_EQ(UrlEncode("가", ansi), "%B0A1");
  EXPECT_EQ(UrlEncode("한글 각", ansi), "%C7D1%B1DB+%B0A2");
  EXPECT_EQ(UrlEncode("é", ansi), "%3F");
  EXPECT_EQ(UrlEncode("a😀b", ansi), "a%3Fb");
  EXPECT_EQ(UrlEncode("\xFF", ansi), "%3F");
}

TEST(UrlEncoding, DecodeIsNotTheInverseOfEncode) {
  const FakeCp949 ansi;
  EXPECT_EQ(UrlDecode(UrlEncode("가가", ansi), ansi), "가B0A1");
  EXPECT_EQ(UrlDecode(UrlEncode("a b", ansi), ansi), "a+b");
}

}  // namespace
}  // namespace veldrask
