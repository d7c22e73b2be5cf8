#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "base/error.h"
#include "fixtures/error_of.h"
#include "win32/wide_text.h"
#include "win32/win32_file_system.h"
#include "win32_test_support.h"

namespace veldrask::win32::testing {
namespace {

using veldrask::testing::ErrorOf;

std::string ReadAll(FileSystem& files, const std::string& path) {
  std::unique_ptr<InputFile> input = files.OpenRead(path);
  std::string content;
  std::byte buffer[4096];
  while (const std::size_t count = input->Read(buffer)) {
    content.append(reinterpret_cast<const char*>(buffer), count);
  }
  return content;
}

void WriteAll(FileSystem& files, const std::string& path, std::string_view content) {
  std::unique_ptr<OutputFile> output = files.OpenWrite(path);
  output->Write(std::as_bytes(std::span(content.data(), content.size())));
  output->Close();
}

class Win32FileSystemTest : public ::testing::Test {
 protected:
  Win32FileSystem files;
  ScratchFolder scratch;
};

TEST_F(Win32FileSystemTest, NamesOfEveryKindAndLongPathsWork) {
  // Korean, characters outside CP949 (a Thai letter, an emoji outside the BMP).
  const std::string named = scratch / "보고서 ก 😀.txt";
  WriteAll(files, named, "본문");
  EXPECT_TRUE(files.FileExists(named));
  EXPECT_EQ(files.FileSize(named), 6);
  EXPECT_EQ(ReadAll(files, named), "본문");

  // Past MAX_PATH, with "/" as well as "\" in it.
  std::string folder = scratch.Path();
  for (int level = 0; folder.size() < 400; ++level) {
    folder += (level % 2 ? "/" : "\\") + std::string("긴 폴더 이름 ") + std::to_string(level);
    files.CreateFolder(folder);
  }
  EXPECT_TRUE(files.FolderExists(folder));
  const std::string deep = folder + "\\파일.bin";
  WriteAll(files, deep, "deep");
  EXPECT_EQ(ReadAll(files, deep), "deep");
  files.Rename(deep, folder + "\\옮김.bin");
  EXPECT_EQ(files.FileSize(folder + "\\옮김.bin"), 4);
  files.Delete(folder + "\\옮김.bin");
  EXPECT_FALSE(files.FileExists(folder + "\\옮김.bin"));
}

TEST_F(Win32FileSystemTest, RenameReplacesAndExclusiveCreateRefuses) {
  const std::string part = scratch / "download.part";
  const std::string target = scratch / "download.zip";
  WriteAll(files, target, "old");
  WriteAll(files, part, "new content");
  files.Rename(part, target);
  EXPECT_EQ(ReadAll(files, target), "new content");
  EXPECT_FALSE(files.FileExists(part));
  EXPECT_EQ(ErrorOf([&] { files.CreateExclusive(target); }),
            NumberOf(ErrorNumber::kFileAlreadyExists));
}

TEST_F(Win32FileSystemTest, FailuresGiveThePosixErrorNumbers) {
  files.CreateFolder(scratch / "folder");
  const struct {
    const char* what;
    std::function<void()> operation;
    ErrorNumber expected;
  } cases[] = {
      {"missing file", [&] { files.OpenRead(scratch / "none.txt"); }, ErrorNumber::kFileNotFound},
      {"missing folder", [&] { files.OpenRead(scratch / "none\\a.txt"); },
       ErrorNumber::kPathNotFound},
      {"folder under a missing one", [&] { files.CreateFolder(scratch / "none\\sub"); },
       ErrorNumber::kPathNotFound},
      {"existing folder", [&] { files.CreateFolder(scratch / "folder"); },
       ErrorNumber::kFileAlreadyExists},
      {"empty name", [&] { files.OpenRead(""); }, ErrorNumber::kBadFileName},
      {"reserved character", [&] { files.OpenWrite(scratch / "a<b>.txt"); },
       ErrorNumber::kBadFileName},
      {"component too long", [&] { files.OpenWrite(scratch / std::string(300, 'x')); },
       ErrorNumber::kBadFileName},
      {"reading a folder", [&] { files.OpenRead(scratch / "folder"); },
       ErrorNumber::kPathFileAccess},
      {"size of a folder", [&] { files.FileSize(scratch / "folder"); },
       ErrorNumber::kPathFileAccess},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ErrorOf(c.operation), NumberOf(c.expected)) << c.what;
  }
}

TEST_F(Win32FileSystemTest, AFileLockedByAnotherHandleIsPermissionDenied) {
  const std::string locked = scratch / "잠김.txt";
  WriteAll(files, locked, "locked");
  const HANDLE holder = CreateFileW(Widen(locked).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  constexpr std::int32_t kDenied = NumberOf(ErrorNumber::kPermissionDenied);
  EXPECT_EQ(ErrorOf([&] { files.OpenRead(locked); }), kDenied);
  EXPECT_EQ(ErrorOf([&] { files.OpenWrite(locked); }), kDenied);
  EXPECT_EQ(ErrorOf([&] { files.Delete(locked); }), kDenied);
  EXPECT_EQ(ErrorOf([&] { files.Rename(locked, scratch / "moved.txt"); }), kDenied);
  EXPECT_EQ(files.FileSize(locked), 6);  // the folder entry still answers
  CloseHandle(holder);
  EXPECT_EQ(ReadAll(files, locked), "locked");
}

// Sizes that a 32-bit count would turn negative (2 GiB) or small (4 GiB + 5). The end is set
// without writing, so the files take no space.
TEST_F(Win32FileSystemTest, SizesPastThirtyTwoBitsAreReportedWhole) {
  for (const std::int64_t size : {std::int64_t{1} << 31, (std::int64_t{1} << 32) + 5}) {
    const std::string path = scratch / ("big-" + std::to_string(size));
    const HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end{};
    end.QuadPart = size;
    ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
    EXPECT_EQ(files.FileSize(path), size);
  }
}

TEST_F(Win32FileSystemTest, FoldersAndHiddenFiles) {
  EXPECT_EQ(files.DefaultDownloadFolder(), "C:\\Download");
  const std::string temp = files.TempFolder();
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_TRUE(files.FolderExists(temp));
  const std::string hidden = scratch / "hidden.txt";
  WriteAll(files, hidden, "");
  SetFileAttributesW(Widen(hidden).c_str(), FILE_ATTRIBUTE_HIDDEN);
  EXPECT_FALSE(files.FileExists(hidden));
  EXPECT_FALSE(files.FileExists(scratch.Path()));
  EXPECT_FALSE(files.FolderExists(hidden));
}

}  // namespace
}  // namespace veldrask::win32::testing
