#include "base/text.h"

#include <gtest/gtest.h>

namespace veldrask {
namespace {

TEST(Text, SplitKeepsEmptyPieces) {
  EXPECT_EQ(Split("exe| DLL ||", "|"), (std::vector<std::string>{"exe", " DLL ", "", ""}));
  EXPECT_EQ(Split("", "|"), (std::vector<std::string>{""}));
  EXPECT_EQ(Split(std::string_view("C:\\Data\0a.txt\0b.txt", 19), std::string_view("\0", 1)),
            (std::vector<std::string>{"C:\\Data", "a.txt", "b.txt"}));
}

TEST(Text, TrimAfterLastAndUpperCase) {
  EXPECT_EQ(TrimSpaces("  a b  "), "a b");
  EXPECT_EQ(TrimSpaces("   "), "");
  EXPECT_EQ(TrimSpaces("\ta\t"), "\ta\t");
  EXPECT_EQ(AfterLast("files/2005/report.doc", "/"), "report.doc");
  EXPECT_EQ(AfterLast("report", "/"), "report");
  EXPECT_EQ(ToUpperAscii("a.Exe가"), "A.EXE가");
  EXPECT_EQ(ReplaceAll("1,234,567", ",", ""), "1234567");
}

TEST(Text, CodePointsRoundTripAndInvalidBytesAreDetected) {
  const std::string text = "a가😀";
  std::size_t offset = 0;
  std::string copy;
  while (offset < text.size()) AppendCodePoint(copy, NextCodePoint(text, offset));
  EXPECT_EQ(copy, text);
  EXPECT_TRUE(IsValidUtf8(text));
  EXPECT_FALSE(IsValidUtf8("\xB0\xA1"));
  EXPECT_FALSE(IsValidUtf8("\xC0\x80"));
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));
}

TEST(Text, ShowableTextReplacesEveryControlCharacter) {
  const struct {
    std::string_view text;
    bool keepLineBreaks;
    std::string_view showable;
  } cases[] = {
      {"\x1b]0;PWNED\x07\x1b[2J OK", false, "\uFFFD]0;PWNED\uFFFD\uFFFD[2J OK"},
      {"a\x7f\xc2\x9b"
       "1m\xc2\xa0가",
       false,
       "a\uFFFD\uFFFD"
       "1m\u00A0가"},  // DEL, CSI (C1)
      {"\x9b"
       "1m\xb0",
       false,
       "\uFFFD"
       "1m\uFFFD"},  // raw C1 and invalid bytes
      {"one\r\ntwo\nthree\tfour", false, "one\uFFFD\uFFFDtwo\uFFFDthree\uFFFDfour"},
      {"one\r\ntwo\nthree\tfour", true, "one\r\ntwo\nthree\tfour"},
      {"over\rwrite\x1b[2K", true, "over\uFFFDwrite\uFFFD[2K"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShowableText(c.text, c.keepLineBreaks), c.showable) << c.text;
  }
}

}  // namespace
}  // namespace veldrask
