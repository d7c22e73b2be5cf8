#include "base/letter_case.h"

#include <gtest/gtest.h>

namespace veldrask {
namespace {

TEST(LetterCaseTest, EveryLetterOfTheCodePageHasItsCapital) {
  const struct {
    std::string_view text;
    std::string_view upper;
  } cases[] = {
      {"exe.Dll", "EXE.DLL"},
      {"é à þ ÿ ß ÷", "É À Þ Ÿ ß ÷"},  // ß has no single capital; ÷ is no letter
      {"ł ŋ œ ĳ ı ĸ", "Ł Ŋ Œ Ĳ I ĸ"},  // both runs of Latin Extended-A
      {"αβς ω", "ΑΒΣ Ω"},
      {"файл ё", "ФАЙЛ Ё"},
      {"ｈｗｐ 한글 1", "ＨＷＰ 한글 1"},  // Hangul and digits stay
  };
  for (const auto& c : cases) EXPECT_EQ(ToUpperLetters(c.text), c.upper) << c.text;
}

}  // namespace
}  // namespace veldrask
