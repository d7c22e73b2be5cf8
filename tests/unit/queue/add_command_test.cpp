#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "queue_fixture.h"

namespace veldrask::testing {
namespace {

using Texts = std::vector<std::string>;

const std::string kCountOfThree =
    "허용된 파일 갯수가 초과되었습니다.\r\n\r\n최대 업로드 가능 파일 갯수는 3개 입니다.";

// A file of size bytes that takes no room on disk.
std::string SparseFile(const ScratchFolder& folder, std::string_view name, std::int64_t size) {
  const std::string path = folder / name;
  std::ofstream{path, std::ios::binary};
  std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size));
  return path;
}

using AddCommand = QueueTest;

TEST_F(AddCommand, CancelledDialogChangesNothing) {
  ClickAdd(std::nullopt);
  EXPECT_EQ(Dialog().Flags(), 0x80200);
  EXPECT_EQ(Dialog().ShowCount(), 1);
  ClickAdd(std::string());
  EXPECT_EQ(List().RowCount(), 0);
  EXPECT_TRUE(test_.ui.Messages().empty());
  EXPECT_EQ(control_.RemainSize(), 1024);
}

TEST_F(AddCommand, AcceptedFileBecomesTheSelectedRowAndMovesTheCounters) {
  control_.SetMaxFileCount(5);
  const std::string first = File("first.txt", 10);
  const std::string path = File("notes.txt", 1536);
  Add(first);
  ASSERT_EQ(List().SelectedRow(), 1);
  Add(path);

  ASSERT_EQ(List().RowCount(), 2);
  EXPECT_EQ(List().RowKey(2), path);
  EXPECT_EQ(List().RowText(2), path);
  EXPECT_EQ(List().ToolTip(2), path);
  EXPECT_EQ(List().SubItem(2, 1), "1,536");
  EXPECT_FALSE(List().SubItem(2, 2).empty());  // the shell's type name of a text file
  EXPECT_EQ(List().IconKey(2), "txt");
  EXPECT_EQ(List().SmallIconKey(2), "txt");
  EXPECT_EQ(List().SelectedRows(), std::vector<std::int32_t>{2});
  EXPECT_EQ(List().EnsuredVisibleRow(), 2);

  EXPECT_EQ(Queue().UploadFileCount(), 2);
  EXPECT_EQ(Queue().UploadTotalSize(), 1546);
  EXPECT_EQ(Caption("lblTotalFileCount"), "2 개 (최대 5 개)");
  EXPECT_EQ(Caption("lblTotalFileSize"), "2 KB");
  EXPECT_EQ(Caption("lblRemainFileSize"), "1,022 KB");
  EXPECT_EQ(Dialog().FileName(), "");
  EXPECT_TRUE(test_.ui.Messages().empty());
}

TEST_F(AddCommand, RemainSizeRoundsHalvesToEven) {
  control_.SetMaxFileCount(5);
  Add(File("a.bin", 1536));  // 1024 - 1.5 = 1022.5
  EXPECT_EQ(control_.RemainSize(), 1022);
  control_.SetMaxFileSize(1);  // the allowance starts again at 1024
  Add(File("b.bin", 2560));    // 1024 - 2.5 = 1021.5
  EXPECT_EQ(control_.RemainSize(), 1022);
  EXPECT_EQ(Caption("lblRemainFileSize"), "1,022 KB");
}

TEST_F(AddCommand, MultipleSelectionJoinsNamesToTheFolder) {
  control_.SetMaxFileCount(5);
  File("b.txt", 1);
  File("a.txt", 2);
  AddMany(files_.Path(), {"b.txt", "a.txt"});
  EXPECT_EQ(RowKeys(), (Texts{files_ / "b.txt", files_ / "a.txt"}));

  // From the root ("/", "C:\\") the folder already ends with the separator.
  const std::string c = File("c.txt", 3);
  const std::size_t rootEnd = c.find_first_of("/\\") + 1;
  AddMany(c.substr(0, rootEnd), {c.substr(rootEnd)});
  EXPECT_EQ(List().RowKey(3), c);
}

TEST_F(AddCommand, CountLimitEndsThePassBeforeTheFileIsLookedAt) {
  control_.SetMaxFileCount(0);
  Add(File("a.txt", 1));
  EXPECT_EQ(List().RowCount(), 0);
  EXPECT_EQ(
      MessageTexts(),
      Texts{"허용된 파일 갯수가 초과되었습니다.\r\n\r\n최대 업로드 가능 파일 갯수는 0개 입니다."});
  EXPECT_TRUE(recordingFiles_.measured.empty());
  EXPECT_EQ(Dialog().FileName(), "");
}

TEST_F(AddCommand, CountLimitStopsAMultipleSelectionPartway) {
  control_.SetMaxFileCount(3);
  File("1.txt", 1);
  File("2.txt", 1);
  AddMany(files_.Path(), {"1.txt", "2.txt"});
  ASSERT_EQ(List().RowCount(), 2);
  recordingFiles_.measured.clear();

  File("3.txt", 1);
  File("4.txt", 1);
  AddMany(files_.Path(), {"3.txt", "4.txt", "missing.txt"});
  EXPECT_EQ(RowKeys().back(), files_ / "3.txt");
  EXPECT_EQ(List().RowCount(), 3);
  EXPECT_EQ(MessageTexts(), Texts{kCountOfThree});
  EXPECT_EQ(recordingFiles_.measured, Texts{files_ / "3.txt"});
}

TEST_F(AddCommand, RefusedExtensionsEndThePass) {
  control_.SetMaxFileCount(10);
  control_.SetExcludeFileExtension("exe| DLL ||");
  const std::string exe = File("a.EXE", 1);
  Dialog().SetFileName("stale");
  Add(exe);
  Add(File("b.dll", 1));
  EXPECT_EQ(List().RowCount(), 0);
  EXPECT_EQ(MessageTexts(),
            (Texts{exe + "\r\n\r\n업로드가 불가능한 파일 확장자입니다.",
                   files_ / "b.dll" + "\r\n\r\n업로드가 불가능한 파일 확장자입니다."}));
  EXPECT_EQ(Dialog().FileName(), "");  // emptied as after every other refusal

  control_.SetExcludeFileExtension(".exe");
  Add(exe);
  EXPECT_EQ(List().RowCount(), 1);

  control_.SetExcludeFileExtension("__NONE__");
  Add(File("README", 1));
  EXPECT_EQ(List().RowCount(), 1);
  EXPECT_EQ(test_.ui.Messages().size(), 3u);
}

TEST_F(AddCommand, RefusedExtensionInASelectionKeepsTheFilesBeforeIt) {
  control_.SetMaxFileCount(10);
  control_.SetExcludeFileExtension("exe");
  for (const char* name : {"1.txt", "2.txt", "3.exe", "4.txt", "5.txt"}) File(name, 1);
  AddMany(files_.Path(), {"1.txt", "2.txt", "3.exe", "4.txt", "5.txt"});
  EXPECT_EQ(RowKeys(), (Texts{files_ / "1.txt", files_ / "2.txt"}));
  EXPECT_EQ(test_.ui.Messages().size(), 1u);
}

TEST_F(AddCommand, DuplicateAddsNothingAndSaysNothing) {
  control_.SetMaxFileCount(10);
  const std::string path = File("a.txt", 1);
  Add(path);
  Add(path);
  EXPECT_EQ(List().RowCount(), 1);
  EXPECT_EQ(Queue().UploadTotalSize(), 1);
  EXPECT_TRUE(test_.ui.Messages().empty());
  EXPECT_EQ(Dialog().FileName(), "");
}

TEST_F(AddCommand, TotalMayReachTheLimitExactlyButNotPassIt) {
  control_.SetMaxFileCount(10);
  Add(File("over.bin", 1048577));
  EXPECT_EQ(List().RowCount(), 0);
  EXPECT_EQ(MessageTexts(), Texts{"허용된 총 용량이 초과되었습니다.\r\n\r\n최대 업로드 가능 "
                                  "용량은 1,024 KB 입니다."});
  EXPECT_EQ(Dialog().FileName(), "");

  Add(File("exact.bin", 1048576));
  EXPECT_EQ(List().RowCount(), 1);
  EXPECT_EQ(control_.RemainSize(), 0);
  EXPECT_EQ(Caption("lblRemainFileSize"), "0 KB");
}

TEST_F(AddCommand, FileOfExactlyUnitFileSizeIsRefused) {
  control_.SetMaxFileCount(10);
  control_.SetMaxFileSize(3);
  control_.SetUnitFileSize(1);
  const std::string exact = File("exact.bin", 1048576);
  Add(exact);
  Add(File("below.bin", 1048575));
  EXPECT_EQ(RowKeys(), Texts{files_ / "below.bin"});
  EXPECT_EQ(MessageTexts(),
            Texts{exact + "\r\n\r\n파일당 업로드 가능 용량이 초과되었습니다.\r\n\r\n"
                          "파일당 업로드 가능 용량은 1,024 KB 입니다."});
}

TEST_F(AddCommand, EachFailingFileOfASelectionIsSkippedOrEndsThePass) {
  control_.SetMaxFileCount(10);
  control_.SetMaxFileSize(3);
  control_.SetUnitFileSize(1);
  Add(File("queued.txt", 5));
  File("one.txt", 10);
  File("big.bin", 1048576);
  File("two.txt", 20);
  File("huge.bin", 3 * 1048576);
  File("after.txt", 1);
  AddMany(files_.Path(),
          {"one.txt", "queued.txt", "big.bin", "missing.txt", "two.txt", "huge.bin", "after.txt"});
  // Duplicate: silent; per file: skipped; unmeasurable: skipped; total: ends the pass.
  EXPECT_EQ(RowKeys(), (Texts{files_ / "queued.txt", files_ / "one.txt", files_ / "two.txt"}));
  const Texts messages = MessageTexts();
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_TRUE(messages[0].starts_with(files_ / "big.bin" + "\r\n\r\n파일당"));
  EXPECT_EQ(messages[1], files_ / "missing.txt" +
                             "\r\n\r\n파일 크기를 확인할 수 없어 추가하지 않았습니다.\r\n\r\n"
                             "[53] 파일을 찾을 수 없습니다.");
  EXPECT_TRUE(messages[2].starts_with("허용된 총 용량이 초과되었습니다."));
  EXPECT_EQ(Queue().UploadTotalSize(), 35);
  EXPECT_EQ(Queue().UploadFileCount(), 3);
}

TEST_F(AddCommand, LimitsBeyondThirtyTwoBitsAreReportedAndChangeNothing) {
  control_.SetMaxFileCount(10);
  const std::string path = File("a.txt", 1);
  control_.SetMaxFileSize(2048);
  Add(path);
  EXPECT_EQ(MessageTexts(),
            Texts{path + "\r\n\r\n최대 업로드 가능 용량(2,048 MB)이 처리할 수 있는 범위를 "
                         "벗어났습니다.\r\n\r\n용량 설정은 2,047 MB 이하여야 합니다."});

  control_.SetMaxFileSize(1);
  control_.SetUnitFileSize(4096);
  Add(path);
  ASSERT_EQ(test_.ui.Messages().size(), 2u);
  EXPECT_EQ(MessageTexts()[1], path +
                                   "\r\n\r\n파일당 업로드 가능 용량(4,096 MB)이 처리할 수 있는 "
                                   "범위를 벗어났습니다.\r\n\r\n용량 설정은 2,047 MB 이하여야 "
                                   "합니다.");
  EXPECT_EQ(List().RowCount(), 0);
  EXPECT_EQ(Queue().UploadTotalSize(), 0);
  EXPECT_EQ(control_.RemainSize(), 1024);
  EXPECT_EQ(Dialog().FileName(), "");
}

TEST_F(AddCommand, FileOfTwoGigabytesIsRefusedAndTheSelectionGoesOn) {
  control_.SetMaxFileCount(10);
  control_.SetMaxFileSize(2047);
  const std::string huge = SparseFile(files_, "huge.iso", std::int64_t{1} << 31);
  File("small.txt", 7);
  AddMany(files_.Path(), {"huge.iso", "small.txt"});
  EXPECT_EQ(RowKeys(), Texts{files_ / "small.txt"});
  EXPECT_EQ(MessageTexts(),
            Texts{huge + "\r\n\r\n2 GB 이상인 파일은 업로드할 수 없습니다.\r\n\r\n"
                         "파일 하나의 크기는 2,147,483,647 바이트까지 가능합니다."});
  EXPECT_EQ(Queue().UploadTotalSize(), 7);
}

}  // namespace
}  // namespace veldrask::testing
