#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/error.h"
#include "error_of.h"
#include "platform/tcp_socket.h"  // AsBytes
#include "posix/posix_file_system.h"
#include "posix_sys_support.h"

namespace veldrask::posix {
namespace {

using testing::TempFolder;
using veldrask::testing::ErrorOf;

std::string ReadAll(FileSystem& files, const std::string& path) {
  const std::unique_ptr<InputFile> input = files.OpenRead(path);
  std::string text;
  std::byte buffer[1000];
  while (const std::size_t count = input->Read(buffer)) {
    text.append(reinterpret_cast<const char*>(buffer), count);
  }
  return text;
}

void WriteAll(FileSystem& files, const std::string& path, std::string_view text) {
  const std::unique_ptr<OutputFile> output = files.OpenWrite(path);
  output->Write(AsBytes(text));
  output->Close();
}

class PosixFileSystemTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  PosixFileSystem files_;
};

TEST_F(PosixFileSystemTest, WritesReadsAndSizesFiles) {
  const std::string path = folder_ / "보고서 2005.doc";
  std::string content;
  for (int i = 0; i < 70000; ++i) content += static_cast<char>(i * 7);
  {
    const std::unique_ptr<OutputFile> output = files_.OpenWrite(path);
    for (std::size_t at = 0; at < content.size(); at += 4096) {
      output->Write(AsBytes(std::string_view(content).substr(at, 4096)));
    }
    output->Close();
    output->Close();
    EXPECT_EQ(ErrorOf([&] { output->Write(AsBytes("x")); }), 52);
  }
  EXPECT_EQ(files_.FileSize(path), 70000);
  EXPECT_EQ(ReadAll(files_, path), content);

  WriteAll(files_, path, "short");
  EXPECT_EQ(ReadAll(files_, path), "short");

  EXPECT_EQ(ErrorOf([&] { files_.CreateExclusive(path); }), 58);
  const std::unique_ptr<OutputFile> fresh = files_.CreateExclusive(folder_ / "fresh");
  fresh->Close();
  EXPECT_EQ(files_.FileSize(folder_ / "fresh"), 0);
}

TEST_F(PosixFileSystemTest, SizesBeyondTwoGigabytesAreReportedWhole) {
  const std::string path = folder_ / "big";
  const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0600);
  ASSERT_GE(fd, 0);
  constexpr off_t kSize = 3LL * 1024 * 1024 * 1024 + 5;  // sparse: takes no space
  ASSERT_EQ(::ftruncate(fd, kSize), 0);
  ::close(fd);
  EXPECT_EQ(files_.FileSize(path), kSize);
}

TEST_F(PosixFileSystemTest, FailuresCarryTheControlsErrorNumbers) {
  const std::string missing = folder_ / "missing.txt";
  const std::string inMissingFolder = folder_ / "no folder/file.txt";
  testing::WriteTextFile(folder_ / "plain", "x");
  std::filesystem::create_directory(folder_ / "sub");
  ASSERT_EQ(::mkfifo((folder_ / "fifo").c_str(), 0600), 0);

  EXPECT_EQ(ErrorOf([&] { files_.OpenRead(missing); }), 53);
  EXPECT_EQ(ErrorOf([&] { files_.FileSize(missing); }), 53);
  EXPECT_EQ(ErrorOf([&] { files_.Delete(missing); }), 53);
  EXPECT_EQ(ErrorOf([&] { files_.OpenRead(inMissingFolder); }), 76);
  EXPECT_EQ(ErrorOf([&] { files_.OpenWrite(inMissingFolder); }), 76);
  EXPECT_EQ(ErrorOf([&] { files_.OpenWrite(folder_ / "plain/below"); }), 76);
  EXPECT_EQ(ErrorOf([&] { files_.CreateFolder(folder_ / "a/b"); }), 76);
  EXPECT_EQ(ErrorOf([&] { files_.CreateFolder(folder_ / "sub"); }), 58);
  EXPECT_EQ(ErrorOf([&] { files_.OpenRead(""); }), 52);
  EXPECT_EQ(ErrorOf([&] { files_.OpenWrite(folder_ / std::string("a\0b", 3)); }), 52);
  EXPECT_EQ(ErrorOf([&] { files_.OpenWrite(folder_ / std::string(300, 'n')); }), 52);
  EXPECT_EQ(ErrorOf([&] { files_.OpenRead(folder_ / "sub"); }), 75);
  // A FIFO put where a file was measured has no writer: refused at once, in a child that is
  // killed rather than left waiting if the open blocks.
  EXPECT_EQ(testing::RunInChild([&] { return ErrorOf([&] { files_.OpenRead(folder_ / "fifo"); }); },
                                std::chrono::seconds(10)),
            75);
  EXPECT_EQ(ErrorOf([&] { files_.OpenWrite(folder_ / "sub"); }), 75);
  EXPECT_EQ(ErrorOf([&] { files_.FileSize(folder_ / "sub"); }), 75);
  EXPECT_EQ(ErrorOf([&] { files_.Delete(folder_ / "sub"); }), 75);
  EXPECT_EQ(ErrorOf([&] { files_.Rename(missing, folder_ / "other"); }), 53);
  EXPECT_EQ(ErrorOf([&] { files_.Rename(folder_ / "plain", inMissingFolder); }), 76);
}

TEST_F(PosixFileSystemTest, AFullDiskIsReportedByTheWrite) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
  const std::unique_ptr<OutputFile> output = files_.OpenWrite("/dev/full");
  EXPECT_EQ(ErrorOf([&] { output->Write(AsBytes("data")); }), 61);
}

TEST_F(PosixFileSystemTest, PermissionDenied) {
  testing::WriteTextFile(folder_ / "secret", "x");
  ::chmod((folder_ / "secret").c_str(), 0);
  std::filesystem::create_directory(folder_ / "locked");
  ::chmod((folder_ / "locked").c_str(), 0555);
  ::chmod(folder_.Path().c_str(), 0755);
  const std::string folder = folder_.Path();
  const int status = testing::RunInChild([folder]() -> int {
    if (!testing::DropRootPrivileges()) return 10;
    PosixFileSystem files;
    if (ErrorOf([&] { files.OpenRead(folder + "/secret"); }) != 70) return 11;
    if (ErrorOf([&] { files.OpenWrite(folder + "/locked/new"); }) != 70) return 12;
    if (ErrorOf([&] { files.CreateFolder(folder + "/locked/new"); }) != 70) return 13;
    return 0;
  });
  EXPECT_EQ(status, 0);
}

TEST_F(PosixFileSystemTest, RenameReplacesTheTargetInOneStep) {
  WriteAll(files_, folder_ / "part", "new");
  WriteAll(files_, folder_ / "target", "old content");
  files_.Rename(folder_ / "part", folder_ / "target");
  EXPECT_EQ(ReadAll(files_, folder_ / "target"), "new");
  EXPECT_FALSE(files_.FileExists(folder_ / "part"));
  files_.Delete(folder_ / "target");
  EXPECT_FALSE(files_.FileExists(folder_ / "target"));
}

TEST_F(PosixFileSystemTest, ExistenceOfFilesAndFolders) {
  testing::WriteTextFile(folder_ / "visible.txt", "x");
  testing::WriteTextFile(folder_ / ".hidden", "x");
  files_.CreateFolder(folder_ / "made");
  EXPECT_TRUE(files_.FileExists(folder_ / "visible.txt"));
  EXPECT_FALSE(files_.FileExists(folder_ / ".hidden"));
  EXPECT_FALSE(files_.FileExists(folder_ / "made"));
  EXPECT_FALSE(files_.FileExists(folder_ / "nothing"));
  EXPECT_FALSE(files_.FileExists(""));
  EXPECT_TRUE(files_.FolderExists(folder_ / "made"));
  EXPECT_TRUE(files_.FolderExists(folder_.Path() + "/"));
  EXPECT_FALSE(files_.FolderExists(folder_ / "visible.txt"));
  EXPECT_FALSE(files_.FolderExists(folder_ / "nothing"));
}

TEST(PosixFileSystemFolders, ComeFromTheEnvironment) {
  PosixFileSystem files;
  EXPECT_EQ(files.Separator(), "/");
  {
    testing::EnvironmentOverride temp("TMPDIR", "/var/tmp");
    EXPECT_EQ(files.TempFolder(), "/var/tmp/");
  }
  {
    testing::EnvironmentOverride temp("TMPDIR", "/var/tmp/");
    EXPECT_EQ(files.TempFolder(), "/var/tmp/");
  }
  {
    testing::EnvironmentOverride temp("TMPDIR", std::nullopt);
    EXPECT_EQ(files.TempFolder(), "/tmp/");
  }
  {
    testing::EnvironmentOverride home("HOME", "/home/someone/");
    EXPECT_EQ(files.DefaultDownloadFolder(), "/home/someone/Download");
  }
  testing::EnvironmentOverride home("HOME", std::nullopt);
  const passwd* entry = ::getpwuid(::getuid());
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(files.DefaultDownloadFolder(), std::string(entry->pw_dir) + "/Download");
}

}  // namespace
}  // namespace veldrask::posix
