#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "control/member_table.h"
#include "queue_fixture.h"

namespace veldrask::testing {
namespace {

using Texts = std::vector<std::string>;

using ServerRows = QueueTest;

TEST_F(ServerRows, FreshControlHasEmptyLists) {
  EXPECT_EQ(control_.GetUploadedFiles(), "");
  EXPECT_EQ(control_.GetDeletedFiles(), "");
  EXPECT_EQ(control_.GetUploadingFiles(), "");
  EXPECT_EQ(control_.CurrentFileCount(), 0);
}

TEST_F(ServerRows, ServerFileIsListedUnderItsNameAndCounted) {
  control_.AddUploadedFile("files/2005/report.doc", 2048);

  ASSERT_EQ(List().RowCount(), 1);
  EXPECT_EQ(List().RowKey(1), "files/2005/report.doc<");
  EXPECT_EQ(List().RowText(1), "report.doc");
  EXPECT_EQ(List().ToolTip(1), "report.doc");
  EXPECT_EQ(List().SubItem(1, 1), "2,048");
  EXPECT_FALSE(List().SubItem(1, 2).empty());  // the shell knows .doc by name
  EXPECT_EQ(List().IconKey(1), "doc");
  EXPECT_EQ(List().SmallIconKey(1), "doc");
  EXPECT_EQ(List().SelectedRows(), std::vector<std::int32_t>{1});
  EXPECT_EQ(control_.RemainSize(), 1022);
  EXPECT_EQ(Caption("lblTotalFileSize"), "2 KB");
  EXPECT_EQ(Caption("lblRemainFileSize"), "1,022 KB");
  EXPECT_EQ(Caption("lblTotalFileCount"), "1 개 (최대 1 개)");
  EXPECT_EQ(control_.GetUploadedFiles(), "report.doc<");
  EXPECT_EQ(control_.CurrentFileCount(), 1);

  // The shell judged an empty stand-in in the temporary folder, removed afterwards.
  const std::string scratch = test_.files.TempFolder() + "VELDRASKUPDN.temp.report.doc";
  EXPECT_EQ(recordingFiles_.written, Texts{scratch});
  EXPECT_EQ(recordingFiles_.deleted, Texts{scratch});
  EXPECT_EQ(shell_.asked, Texts{scratch});
  EXPECT_FALSE(std::filesystem::exists(scratch));
}

TEST_F(ServerRows, NamesAreDecodedInTheCodePageOrShownAsWritten) {
  control_.AddUploadedFile("/data/%B0%A1.txt", 5);
  control_.AddUploadedFile("dir/bad%ZZname.txt", 5);
  EXPECT_EQ(RowKeys(), (Texts{"/data/%B0%A1.txt<", "dir/bad%ZZname.txt<"}));
  EXPECT_EQ(List().RowText(1), "가.txt");
  EXPECT_EQ(List().RowText(2), "bad%ZZname.txt");
  EXPECT_EQ(List().IconKey(2), "txt");
  EXPECT_EQ(control_.GetUploadedFiles(), "가.txt<bad%ZZname.txt<");
}

TEST_F(ServerRows, NoLimitAppliesButLocalFilesMeetTheServerRows) {
  control_.SetExcludeFileExtension("exe");
  control_.AddUploadedFile("a.exe", 3 * 1048576);
  control_.AddUploadedFile("b.exe", 1);
  EXPECT_EQ(Queue().UploadFileCount(), 2);
  EXPECT_EQ(Queue().UploadTotalSize(), 3 * 1048576 + 1);
  EXPECT_EQ(Caption("lblTotalFileCount"), "2 개 (최대 1 개)");

  control_.SetMaxFileCount(5);
  Add(files_.WriteFile("c.txt", 1));
  EXPECT_EQ(List().RowCount(), 2);
  ASSERT_EQ(test_.ui.Messages().size(), 1u);
  EXPECT_TRUE(test_.ui.Messages()[0].text.starts_with("허용된 총 용량이 초과되었습니다."));
}

TEST_F(ServerRows, NameListedTwiceCountsOnce) {
  control_.AddUploadedFile("x/a.txt", 100);
  control_.AddUploadedFile("x/a.txt", 100);
  EXPECT_EQ(List().RowCount(), 1);
  EXPECT_EQ(Queue().UploadFileCount(), 1);
  EXPECT_EQ(Queue().UploadTotalSize(), 100);
  EXPECT_EQ(control_.GetUploadedFiles(), "a.txt<");
  EXPECT_TRUE(test_.ui.Messages().empty());
}

TEST_F(ServerRows, TotalBeyondThirtyTwoBitsIsRefusedWithAMessage) {
  control_.AddUploadedFile("a.bin", 2147483647);
  control_.AddUploadedFile("b.bin", 1);
  EXPECT_EQ(RowKeys(), Texts{"a.bin<"});
  EXPECT_EQ(Queue().UploadTotalSize(), 2147483647);
  EXPECT_EQ(Queue().UploadFileCount(), 1);
  EXPECT_EQ(control_.GetUploadedFiles(), "a.bin<");
  EXPECT_EQ(Caption("lblTotalFileCount"), "1 개 (최대 1 개)");
  EXPECT_EQ(MessageTexts(),
            Texts{"b.bin\r\n\r\n목록의 파일 수나 총 용량이 셀 수 있는 범위를 넘어 추가할 수 "
                  "없습니다.\r\n\r\n목록에는 최대 32,767 개, 총 2,147,483,647 바이트까지 담을 "
                  "수 있습니다."});
}

TEST_F(ServerRows, StandInStaysInTheTemporaryFolderWhateverTheName) {
  control_.AddUploadedFile("up/..%5C..%5Cevil.txt", 1);
  control_.AddUploadedFile("a%00b.txt", 1);
  control_.AddUploadedFile("..", 1);
  const std::string temp = test_.files.TempFolder();
  EXPECT_EQ(recordingFiles_.written,
            (Texts{temp + "VELDRASKUPDN.temp..._.._evil.txt", temp + "VELDRASKUPDN.temp.a_b.txt",
                   temp + "VELDRASKUPDN.temp..."}));
  EXPECT_EQ(recordingFiles_.deleted, recordingFiles_.written);
  // The rows keep the real names.
  EXPECT_EQ(List().RowText(1), "..\\..\\evil.txt");
  EXPECT_EQ(List().RowText(2), std::string("a\0b.txt", 7));
  EXPECT_EQ(List().RowText(3), "..");
}

TEST_F(ServerRows, StandInFallsBackToTheDownloadFolder) {
  test_.Backend().PointUserFoldersAt(test_.Scratch() / "no-such-folder", test_.Scratch() / "home");
  const std::string downloads = test_.files.DefaultDownloadFolder();
  control_.AddUploadedFile("report.pdf", 10);
  const std::string scratch =
      downloads + std::string(test_.files.Separator()) + "VELDRASKUPDN.temp.report.pdf";
  EXPECT_EQ(recordingFiles_.written.back(), scratch);
  EXPECT_EQ(recordingFiles_.deleted, Texts{scratch});
  EXPECT_TRUE(std::filesystem::is_directory(downloads));
  EXPECT_FALSE(List().SubItem(1, 2).empty());
}

TEST_F(ServerRows, WithoutAStandInTheRowHasNoTypeButIsCounted) {
  test_.Backend().PointUserFoldersAt(test_.Scratch() / "no-such-folder",
                                     test_.Scratch() / "no-such-home/deeper");
  control_.AddUploadedFile("odd.zzqx", 2048);
  EXPECT_EQ(recordingFiles_.written.size(), 2u);
  EXPECT_TRUE(recordingFiles_.deleted.empty());
  EXPECT_EQ(List().SubItem(1, 2), "");
  EXPECT_EQ(List().IconKey(1), "zzqx");
  const auto& smallImages = Surface().Get<headless::HeadlessImageList>("SmallIconImageList");
  ASSERT_EQ(smallImages.Count(), 1);
  EXPECT_EQ(smallImages.Key(1), "zzqx");
  EXPECT_TRUE(smallImages.Image(1).Empty());
  EXPECT_EQ(Queue().UploadTotalSize(), 2048);
  EXPECT_EQ(control_.GetUploadedFiles(), "odd.zzqx<");
}

TEST_F(ServerRows, UploadingFilesListsEveryRowInOrder) {
  control_.SetMaxFileCount(5);
  const std::string local = files_.WriteFile("a.txt", 1);
  Add(local);
  control_.AddUploadedFile("b.txt", 1);
  EXPECT_EQ(control_.GetUploadingFiles(), local + "<b.txt<");
  EXPECT_EQ(control_.CurrentFileCount(), 2);
}

TEST_F(ServerRows, MembersAreCallableByNameInTypeLibraryOrder) {
  std::vector<Variant> arguments{Variant("dir/x.txt"), Variant("2048")};
  InvokeMember(control_, "addUploadedFile", MemberKind::kMethod, arguments);
  std::vector<Variant> none;
  EXPECT_EQ(InvokeMember(control_, "CurrentFileCount", MemberKind::kGet, none),
            Variant(std::int16_t{1}));
  EXPECT_EQ(InvokeMember(control_, "GetUploadedFiles", MemberKind::kMethod, none),
            Variant("x.txt<"));
  EXPECT_EQ(InvokeMember(control_, "GetUploadingFiles", MemberKind::kMethod, none),
            Variant("x.txt<"));
  EXPECT_EQ(InvokeMember(control_, "GetDeletedFiles", MemberKind::kMethod, none), Variant(""));

  std::vector<std::string_view> names;
  for (const Member& member : MemberTable()) names.push_back(member.name);
  const auto at = [&](std::string_view name) {
    return std::find(names.begin(), names.end(), name) - names.begin();
  };
  EXPECT_LT(at("EngTitleVer"), at("CurrentFileCount"));
  EXPECT_EQ(at("CurrentFileCount") + 1, at("MaxFileCount"));
  EXPECT_LT(at("UpDownload"), at("AddUploadedFile"));
  EXPECT_EQ(at("AddUploadedFile") + 1, at("GetUploadedFiles"));
  EXPECT_EQ(at("GetUploadedFiles") + 1, at("GetDeletedFiles"));
  EXPECT_EQ(at("GetDeletedFiles") + 1, at("GetUploadingFiles"));
  EXPECT_LT(at("GetUploadingFiles"), at("RegiSaveString"));
}

using DeleteCommand = QueueTest;

TEST_F(DeleteCommand, RemovesSelectedRowsAndNotesOnlyServerRows) {
  control_.SetMaxFileCount(10);
  control_.SetMaxFileSize(5);
  const std::string a = files_.WriteFile("a.txt", 1024);
  Add(a);
  control_.AddUploadedFile("srv/s1.txt", 1234944);  // "1,234,944": read back whole
  const std::string b = files_.WriteFile("b.txt", 2048);
  Add(b);
  control_.AddUploadedFile("srv/s2.txt", 3072);
  ASSERT_EQ(control_.RemainSize(), 5120 - 1 - 1206 - 2 - 3);

  Surface().SelectRows("UploadFileList", {1, 2, 3});
  test_.ui.Recorder().StartLog();
  bool hiddenWhileCounting = false;
  test_.ui.Recorder().OnChange(
      "UploaderControl", "lblTotalFileCount",
      [&](headless::HeadlessWidget&) { hiddenWhileCounting = !List().Visible(); });
  Surface().Click("cmdDelete");

  EXPECT_EQ(RowKeys(), Texts{"srv/s2.txt<"});
  EXPECT_EQ(control_.GetDeletedFiles(), "s1.txt<");
  EXPECT_EQ(control_.GetUploadedFiles(), "s1.txt<s2.txt<");
  EXPECT_EQ(Queue().UploadFileCount(), 1);
  EXPECT_EQ(Queue().UploadTotalSize(), 3072);
  EXPECT_EQ(control_.RemainSize(), 5117);
  EXPECT_EQ(Caption("lblTotalFileCount"), "1 개 (최대 10 개)");
  EXPECT_EQ(Caption("lblTotalFileSize"), "3 KB");
  EXPECT_EQ(Caption("lblRemainFileSize"), "5,117 KB");
  EXPECT_TRUE(hiddenWhileCounting);
  EXPECT_EQ(test_.ui.Recorder().Log(), (Texts{"hide UploadFileList", "show UploadFileList"}));
  EXPECT_TRUE(std::filesystem::exists(a));  // the file on disk stays
}

TEST_F(DeleteCommand, WithNothingSelectedChangesNothing) {
  control_.AddUploadedFile("s.txt", 10);
  Surface().SelectRows("UploadFileList", {});
  Surface().Click("cmdDelete");
  EXPECT_EQ(List().RowCount(), 1);
  EXPECT_EQ(Queue().UploadTotalSize(), 10);
  EXPECT_EQ(control_.GetDeletedFiles(), "");
  EXPECT_TRUE(List().Visible());
}

TEST_F(DeleteCommand, SizeIsReadBackInTheUsersGrouping) {
  NumberStyle spaced;
  spaced.groupSeparator = " ";
  test_.locale.Set(spaced);
  control_.AddUploadedFile("s.txt", 7654321);
  EXPECT_EQ(List().SubItem(1, 1), "7 654 321");
  Surface().SelectRows("UploadFileList", {1});
  Surface().Click("cmdDelete");
  EXPECT_EQ(Queue().UploadTotalSize(), 0);
  EXPECT_EQ(control_.RemainSize(), 1024);
  EXPECT_TRUE(test_.ui.Messages().empty());
}

}  // namespace
}  // namespace veldrask::testing
