#include "posix/gio_shell.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/text.h"
#include "posix_sys_support.h"

namespace veldrask::posix {
namespace {

using testing::TempFolder;

class GioShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::WriteTextFile(folder_ / "notes.txt", "hello\n");
    testing::WriteTextFile(folder_ / "empty.txt", "");
    testing::WriteTextFile(folder_ / "report.pdf", "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n");
    testing::WriteTextFile(folder_ / "empty.pdf", "");
    std::filesystem::create_directory(folder_ / "folder");
  }

  // The probe's lines for the test files, under the given language settings.
  std::vector<std::string> TypesUnder(const std::string& lang) {
    const testing::ProgramResult result = testing::RunProgram(
        {GIO_PROBE, folder_ / "notes.txt", folder_ / "empty.txt", folder_ / "report.pdf",
         folder_ / "empty.pdf", folder_ / "folder", folder_ / "missing"},
        {"LANG=" + lang, "LANGUAGE", "LC_ALL", "LC_MESSAGES"});
    EXPECT_EQ(result.exitStatus, 0);
    std::vector<std::string> lines = Split(result.output, "\n");
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
  }

  TempFolder folder_;
};

TEST_F(GioShellTest, TypeNamesFollowTheUsersLanguage) {
  const std::vector<std::string> korean = TypesUnder("ko_KR.UTF-8");
  ASSERT_EQ(korean.size(), 6u);
  EXPECT_EQ(korean[0], "일반 텍스트 문서|text-plain");
  EXPECT_EQ(korean[1], "일반 텍스트 문서|text-plain");
  EXPECT_EQ(korean[2], "PDF 문서|application-pdf");
  // Empty files are typed by their name.
  EXPECT_EQ(korean[3], "PDF 문서|application-pdf");
  EXPECT_TRUE(korean[4].starts_with("폴더|")) << korean[4];
  EXPECT_GT(korean[4].size(), std::string("폴더|").size());
  EXPECT_EQ(korean[5], "none");

  const std::vector<std::string> english = TypesUnder("C");
  ASSERT_EQ(english.size(), 6u);
  EXPECT_EQ(english[0], "plain text document|text-plain");
  EXPECT_EQ(english[2], "PDF document|application-pdf");
}

TEST_F(GioShellTest, MissingFilesHaveNoInformation) {
  GioShell shell;
  EXPECT_FALSE(shell.GetFileInfo(folder_ / "missing"));
  EXPECT_FALSE(shell.GetFileInfo(""));
  const std::optional<FileInfo> info = shell.GetFileInfo(folder_ / "notes.txt");
  ASSERT_TRUE(info);
  EXPECT_EQ(info->smallIcon.name, "text-plain");
  EXPECT_EQ(info->largeIcon, info->smallIcon);
  EXPECT_FALSE(info->typeName.empty());
}

// Waits (with a limit) until check holds.
bool Eventually(const std::function<bool()>& check) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!check()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

bool IsRunningOrZombie(const std::string& pid) {
  return std::filesystem::exists("/proc/" + pid);
}

TEST(GioShellOpenFolder, StartsXdgOpenDetachedAndReapsIt) {
  TempFolder bin;
  const std::string marker = bin / "opened";
  // Records its process, its session and its argument, then lingers a little.
  testing::WriteTextFile(bin / "xdg-open",
                         "#!/bin/sh\n"
                         "session=$(cut -d' ' -f6 /proc/$$/stat)\n"
                         "printf '%s\\n%s\\n%s\\n' \"$$\" \"$session\" \"$1\" > '" +
                             marker +
                             ".part'\n"
                             "mv '" +
                             marker + ".part' '" + marker +
                             "'\n"
                             "sleep 0.2\n");
  std::filesystem::permissions(bin / "xdg-open", std::filesystem::perms::owner_all);
  GioShell shell;
  {
    testing::EnvironmentOverride path("PATH", bin.Path() + ":/usr/bin:/bin");
    ASSERT_TRUE(shell.OpenFolder("/srv/내 파일/a b"));
  }
  ASSERT_TRUE(Eventually([&] { return std::filesystem::exists(marker); }));
  const std::vector<std::string> lines = Split(testing::ReadTextFile(marker), "\n");
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[1], lines[0]) << "not in a session of its own";
  EXPECT_EQ(lines[2], "/srv/내 파일/a b");
  EXPECT_TRUE(Eventually([&] { return !IsRunningOrZombie(lines[0]); })) << "left a zombie";
}

TEST(GioShellOpenFolder, FailsWithoutXdgOpen) {
  TempFolder emptyBin;
  testing::EnvironmentOverride path("PATH", emptyBin.Path());
  EXPECT_FALSE(GioShell().OpenFolder("/tmp"));
  EXPECT_FALSE(GioShell().OpenFolder(""));
}

}  // namespace
}  // namespace veldrask::posix
