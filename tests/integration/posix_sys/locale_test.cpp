#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "posix/posix_locale.h"
#include "posix_sys_support.h"

namespace veldrask::posix {
namespace {

using testing::TempFolder;

// Compiles a locale whose numbers look like no installed one, so that reading it is visible.
std::string DefineLocale(const TempFolder& folder, const std::string& name,
                         const std::string& numeric) {
  std::string source = "LC_NUMERIC\n" + numeric + "END LC_NUMERIC\n";
  for (const char* category : {"LC_CTYPE", "LC_COLLATE", "LC_MONETARY", "LC_TIME", "LC_MESSAGES"}) {
    source += std::string(category) + "\ncopy \"POSIX\"\nEND " + category + "\n";
  }
  testing::WriteTextFile(folder / (name + ".src"), source);
  // localedef warns about the categories left out (exit status 1) and writes the locale.
  testing::RunProgram({"localedef", "-c", "-i", folder / (name + ".src"), "-f", "ISO-8859-1",
                       folder / (name + ".ISO-8859-1")},
                      {});
  return name + ".ISO-8859-1";
}

// The style PosixLocale() reads in a child whose environment names the locale.
std::string StyleInEnvironment(const TempFolder& folder, const std::string& locale) {
  const std::string path = folder / "style";
  const std::string locales = folder.Path();
  const int status = testing::RunInChild([&]() -> int {
    ::setenv("LOCPATH", locales.c_str(), 1);
    ::unsetenv("LC_NUMERIC");
    ::setenv("LC_ALL", locale.c_str(), 1);
    const NumberStyle style = PosixLocale().Numbers();
    testing::WriteTextFile(path, style.groupSeparator + " " + style.decimalSeparator + " " +
                                     std::to_string(style.groupSize) + " " +
                                     (style.leadingZero ? "0" : "-"));
    return 0;
  });
  EXPECT_EQ(status, 0);
  return testing::ReadTextFile(path);
}

TEST(PosixLocaleEnvironment, ReadsTheUsersNumericSettings) {
  TempFolder folder;
  const std::string swiss = DefineLocale(folder, "xx_GROUPED",
                                         "decimal_point \"<U002C>\"\n"
                                         "thousands_sep \"<U0027>\"\ngrouping 4;4\n");
  if (!std::filesystem::exists(folder / swiss)) GTEST_SKIP() << "localedef is not available";
  EXPECT_EQ(StyleInEnvironment(folder, swiss), "' , 4 0");
}

TEST(PosixLocaleEnvironment, AnUngroupedLocaleGetsTheKoreanStyleWhole) {
  TempFolder folder;
  const std::string plain = DefineLocale(folder, "xx_PLAIN",
                                         "decimal_point \"<U002C>\"\n"
                                         "thousands_sep \"\"\ngrouping -1\n");
  if (!std::filesystem::exists(folder / plain)) GTEST_SKIP() << "localedef is not available";
  EXPECT_EQ(StyleInEnvironment(folder, plain), ", . 3 0");
  EXPECT_EQ(StyleInEnvironment(folder, "C"), ", . 3 0");
}

}  // namespace
}  // namespace veldrask::posix
