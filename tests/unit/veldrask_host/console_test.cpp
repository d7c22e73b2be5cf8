// The console's live block and the terminal texts it is made of.
#include "console.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "terminal_text.h"

namespace veldrask::host {
namespace {

TEST(TerminalTextTest, KoreanTakesTwoColumnsAndIsNeverCutInHalf) {
  EXPECT_EQ(DisplayWidth("보고서.txt"), 10u);
  EXPECT_EQ(DisplayWidth("a\tb"), 2u);
  EXPECT_EQ(FitToColumns("보고서.txt", 5), "보고");
  EXPECT_EQ(FitToColumns("보고서.txt", 6), "보고서");
  EXPECT_EQ(FitToColumns("abc", 10), "abc");
}

TEST(TerminalTextTest, EmojiAndMarksAreCountedAsTheTerminalShowsThem) {
  EXPECT_EQ(DisplayWidth("🚀 a.txt"), 8u);  // beyond the pictographs the old table knew
  EXPECT_EQ(DisplayWidth("e\u0301"), 1u);  // a combining accent takes no column
  EXPECT_EQ(FitToColumns("🚀🚀x", 3), "🚀");
}

TEST(TerminalTextTest, BarsFillInProportionWithinTheirRange) {
  EXPECT_EQ(BarText(50, 0, 100, 10), "[#####.....]");
  EXPECT_EQ(BarText(150, 0, 100, 4), "[####]");
  EXPECT_EQ(BarText(-5, 0, 100, 4), "[....]");
  EXPECT_EQ(BarText(0, 0, 0, 4), "[....]") << "an empty file's bar";
  EXPECT_EQ(BarText(2'000'000'000, 0, 2'147'483'647, 10), "[#########.]");
}

TEST(TerminalTextTest, MessageLineBreaksBecomeTheTerminals) {
  EXPECT_EQ(TerminalLines("a\r\n\r\nb\rc\n"), "a\n\nb\nc\n");
}

TEST(ConsoleTest, ATerminalRedrawsTheBlockInPlaceAndPrintsAboveIt) {
  std::ostringstream out;
  Console console(out, true, [] { return std::size_t{8}; });
  console.DrawLive({"first line", "b"});
  EXPECT_EQ(out.str(), "first l\x1b[K\nb\x1b[K\n\x1b[J");

  out.str("");
  console.DrawLive({"c"});
  EXPECT_EQ(out.str(), "\r\x1b[2Ac\x1b[K\n\x1b[J")
      << "up two lines, the one line, the rest cleared";

  out.str("");
  console.Print("message\n\nend");
  EXPECT_EQ(out.str(), "\r\x1b[1A\x1b[Jmessage\n\nend\nc\x1b[K\n\x1b[J");

  out.str("");
  console.KeepLive();
  console.Print("after");
  EXPECT_EQ(out.str(), "after\n") << "a kept block is not touched again";
}

TEST(ConsoleTest, ElsewhereOnlyPrintedTextAppears) {
  std::ostringstream out;
  Console console(out, false, [] { return std::size_t{80}; });
  console.DrawLive({"block"});
  console.Show("shown", {"block"});
  console.Print("printed\n");
  EXPECT_EQ(out.str(), "shown\nprinted\n");
}

}  // namespace
}  // namespace veldrask::host
