#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "win32/win32_code_page.h"
#include "win32/win32_locale.h"
#include "win32/win32_random.h"
#include "win32/win32_shell.h"
#include "win32_test_support.h"

namespace veldrask::win32::testing {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The same cases as the iconv code page's: both backends must convert alike.
TEST(Win32CodePage, Cp949RoundTripsAndReplacementsAsOnPosix) {
  const Win32CodePage cp949;
  EXPECT_EQ(cp949.Name(), "CP949");
  EXPECT_EQ(GetACP(), 949u) << "the harness runs Wine under a Korean locale";
  EXPECT_EQ(cp949.Encode("가"), "\xB0\xA1");
  EXPECT_EQ(cp949.Encode("똠"), "\x8C\x63");  // the extended (UHC) area
  const std::string text = "보고서 2005년.doc (최종) 똠방각하";
  EXPECT_EQ(cp949.Decode(cp949.Encode(text)), text);
  EXPECT_EQ(cp949.Encode(std::string_view("a\0b", 3)), std::string_view("a\0b", 3));

  EXPECT_EQ(cp949.Encode("a😀b😀😀"), "a?b??");
  EXPECT_EQ(cp949.Encode("가ก나"), "\xB0\xA1?\xB3\xAA");
  EXPECT_EQ(cp949.Encode("café"), "caf?");  // no best-fit "e"
  EXPECT_EQ(cp949.Encode("a\xFF"
                         "b"),
            "a?b");
  EXPECT_EQ(cp949.Decode("a\xFF"
                         "b"),
            std::string("a") + std::string(kReplacement) + "b");
  EXPECT_EQ(cp949.Decode("\xB0\xA1\xB0"), "가" + std::string(kReplacement));
}

TEST(Win32Shell, TypeNamesAndOneSharedIconPerType) {
  Win32Shell shell;
  ScratchFolder scratch;
  const std::optional<FileInfo> first = shell.GetFileInfo(scratch.WriteFile("보고서.txt", "a"));
  const std::optional<FileInfo> second = shell.GetFileInfo(scratch.WriteFile("b.txt", "b"));
  ASSERT_TRUE(first.has_value() && second.has_value());
  EXPECT_FALSE(first->typeName.empty());
  ASSERT_NE(first->smallIcon.native, nullptr);
  ASSERT_NE(first->largeIcon.native, nullptr);
  EXPECT_EQ(first->smallIcon, second->smallIcon);
  EXPECT_EQ(first->largeIcon, second->largeIcon);
  EXPECT_NE(first->largeIcon, first->smallIcon);

  // "VELDRASK7 파일" on Windows, ".veldrask7 file" under Wine: named after the extension.
  const std::optional<FileInfo> unknown =
      shell.GetFileInfo(scratch.WriteFile("자료.veldrask7", ""));
  ASSERT_TRUE(unknown.has_value());
  EXPECT_NE(ToUpperAscii(unknown->typeName).find("VELDRASK7"), std::string::npos)
      << unknown->typeName;
  const std::optional<FileInfo> folder = shell.GetFileInfo(scratch.Path());
  ASSERT_TRUE(folder.has_value());
  EXPECT_NE(folder->typeName, unknown->typeName);

  EXPECT_EQ(shell.GetFileInfo(scratch / "없는 파일.txt"), std::nullopt);
  EXPECT_EQ(shell.GetFileInfo(""), std::nullopt);
}

TEST(Win32Locale, KoreanNumberSettingsAndTheSystemGenerator) {
  const NumberStyle numbers = Win32Locale().Numbers();
  EXPECT_EQ(numbers.groupSeparator, ",");
  EXPECT_EQ(numbers.decimalSeparator, ".");
  EXPECT_EQ(numbers.groupSize, 3);

  // Two generators do not repeat each other's draws: nothing is seeded.
  Win32Random first;
  Win32Random second;
  int same = 0;
  for (int i = 0; i < 100; ++i) {
    const double value = first.Next();
    same += value == second.Next() ? 1 : 0;
    EXPECT_GE(value, 0.0);
    EXPECT_LT(value, 1.0);
  }
  EXPECT_EQ(same, 0);
}

}  // namespace
}  // namespace veldrask::win32::testing
