// The download screen of the control: listing, ticking, totals, folder choice and the
// download command, driven like a user on the headless UI.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "common/registry_settings.h"
#include "control/member_table.h"
#include "control/uploader_control.h"
#include "test_platform.h"

namespace veldrask::testing {
namespace {

// The real shell's type names, with the folder opening recorded instead of done.
class RecordingShell : public Shell {
 public:
  explicit RecordingShell(Shell& real) : real_(real) {}
  std::optional<FileInfo> GetFileInfo(const std::string& path) override {
    return real_.GetFileInfo(path);
  }
  bool OpenFolder(const std::string& path) override {
    opened.push_back(path);
    return opens;
  }

  std::vector<std::string> opened;
  bool opens = true;

 private:
  Shell& real_;
};

class DownloadListTest : public ::testing::Test {
 protected:
  DownloadListTest() {
    control_ = std::make_unique<UploaderControl>(platform_, host_);
    control_->InitNew();
    control_->SetUpDownload("1");
  }

  UploaderControl& Control() { return *control_; }
  headless::HeadlessForm& Surface() { return *base_.ui.FindForm("UploaderControl"); }
  headless::HeadlessListView& List() {
    return Surface().Get<headless::HeadlessListView>("DownloadFileList");
  }
  std::string Caption(std::string_view widget) { return Surface().Get(widget).Caption(); }
  std::string Totals() {
    return Caption("lblDNTotalFileCount") + " / " + Caption("lblDNTotalFileSize");
  }
  std::string RegistryFolder() {
    return RegistrySettings(base_.registry, base_.ansi)
        .ReadString(kLocalMachine, kSettingsKeyPath, kDownPathValueName);
  }
  const std::vector<headless::MessageRecord>& Messages() { return base_.ui.Messages(); }

  TestPlatform base_;
  RecordingShell shell_{base_.shell};
  Platform platform_{base_.loop,  base_.network, base_.files,  base_.registry, shell_,
                     base_.clock, base_.ansi,    base_.locale, base_.random,   base_.ui};
  RecordingHost host_;

 private:
  std::unique_ptr<UploaderControl> control_;
};

TEST_F(DownloadListTest, AddsADecodedTickedRowUnderTheServerPath) {
  Control().AddDownloadFile("/data/%B0%A1.txt", 2048);

  headless::HeadlessListView& list = List();
  ASSERT_EQ(list.RowCount(), 1);
  EXPECT_EQ(list.RowKey(1), "/data/%B0%A1.txt");
  EXPECT_EQ(list.RowText(1), "가.txt");
  EXPECT_TRUE(list.Checked(1));
  EXPECT_EQ(list.SubItem(1, 1), "2,048");
  EXPECT_EQ(list.ToolTip(1), "가.txt");
  EXPECT_EQ(list.SmallIconKey(1), "txt");
  EXPECT_EQ(list.IconKey(1), "txt");
  EXPECT_EQ(Surface().Get<headless::HeadlessImageList>("SmallIconImageList").Key(1), "txt");
  EXPECT_EQ(Totals(), "1 개 / 2 KB");
  // The stand-in for the shell's query is gone again.
  EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::path(base_.files.TempFolder())));
}

TEST_F(DownloadListTest, NamesWithoutAnExtensionOrUndecodableStillGetRows) {
  Control().AddDownloadFile("/data/README", 10);
  Control().AddDownloadFile("/data/%ZZ.txt", 20);

  EXPECT_EQ(List().IconKey(1), "__NONE__");
  EXPECT_EQ(List().RowText(2), "");
  EXPECT_EQ(List().IconKey(2), "");
  EXPECT_EQ(Totals(), "2 개 / 0 KB");
}

TEST_F(DownloadListTest, APathListedTwiceAddsNothing) {
  Control().AddDownloadFile("/a.txt", 1500);
  Control().AddDownloadFile("/a.txt", 1500);

  EXPECT_EQ(List().RowCount(), 1);
  EXPECT_EQ(Totals(), "1 개 / 1 KB");
}

TEST_F(DownloadListTest, TicksMoveTheTotals) {
  Control().AddDownloadFile("/a.txt", 1500);
  Control().AddDownloadFile("/b.txt", 600);
  EXPECT_EQ(Totals(), "2 개 / 2 KB");

  Surface().TickRow("DownloadFileList", 1, false);
  EXPECT_EQ(Totals(), "1 개 / 1 KB");

  Surface().TickRow("DownloadFileList", 1, true);
  EXPECT_EQ(Totals(), "2 개 / 2 KB");
}

TEST_F(DownloadListTest, TheNameHeaderUnticksThenTicksEverything) {
  Control().AddDownloadFile("/a.txt", 1500);
  Control().AddDownloadFile("/b.txt", 600);

  Surface().ClickColumn("DownloadFileList", 1);
  EXPECT_FALSE(List().Checked(1));
  EXPECT_FALSE(List().Checked(2));
  EXPECT_EQ(Totals(), "0 개 / 0 KB");

  Surface().ClickColumn("DownloadFileList", 2);
  Surface().ClickColumn("DownloadFileList", 3);
  EXPECT_FALSE(List().Checked(1));
  EXPECT_EQ(Totals(), "0 개 / 0 KB");

  Surface().ClickColumn("DownloadFileList", 1);
  EXPECT_TRUE(List().Checked(1));
  EXPECT_TRUE(List().Checked(2));
  EXPECT_EQ(Totals(), "2 개 / 2 KB");
}

TEST_F(DownloadListTest, AddingAfterUntickingCountsEveryListedRow) {
  Control().AddDownloadFile("/a.txt", 1024);
  Surface().TickRow("DownloadFileList", 1, false);
  Control().AddDownloadFile("/b.txt", 1024);

  EXPECT_FALSE(List().Checked(1));
  EXPECT_EQ(Totals(), "2 개 / 2 KB");
}

TEST_F(DownloadListTest, TheDownloadCommandHandsOverTheTickedRowsAndAnEmptyLastEntry) {
  for (int i = 1; i <= 5; ++i) {
    Control().AddDownloadFile("/f" + std::to_string(i) + ".bin", 1000 * i);
  }
  Surface().ClickColumn("DownloadFileList", 1);
  Surface().TickRow("DownloadFileList", 2, true);
  Surface().TickRow("DownloadFileList", 4, true);
  // Both connections are refused: the session fails its files and says so.
  base_.network.refused = {1, 2};
  std::filesystem::create_directories(Control().downFolder());

  Surface().Click("cmdDownload");

  const std::vector<AttachedFile> files = Control().DownFileList();
  ASSERT_EQ(files.size(), 3U);
  EXPECT_EQ(files[0], (AttachedFile{"/f2.bin", "f2.bin", 2000, ""}));
  EXPECT_EQ(files[1], (AttachedFile{"/f4.bin", "f4.bin", 4000, ""}));
  EXPECT_EQ(files[2], AttachedFile{});
  ASSERT_EQ(Messages().size(), 1U);
  EXPECT_EQ(Messages()[0].text, "다음 파일은 다운로드하지 못했습니다.\r\n\r\nf2.bin\r\nf4.bin");
  // The rows and totals stay as they were.
  EXPECT_EQ(Totals(), "2 개 / 6 KB");
  EXPECT_TRUE(List().Checked(2));
}

TEST_F(DownloadListTest, NothingTickedIsRefusedWithAMessage) {
  Control().AddDownloadFile("/a.txt", 10);
  Surface().TickRow("DownloadFileList", 1, false);

  Surface().Click("cmdDownload");

  ASSERT_EQ(Messages().size(), 1U);
  EXPECT_EQ(Messages()[0].text, "다운로드할 파일을 선택하세요.");
  EXPECT_EQ(base_.ui.FindForm("frmDNProcess"), nullptr);
}

TEST_F(DownloadListTest, TheChosenFolderIsShownAndRemembered) {
  base_.ui.SetFolderAnswer([](std::string_view) { return std::string("/srv/받은 파일"); });

  Surface().Click("cmdSelFolder");

  EXPECT_EQ(base_.ui.FolderRequests(), std::vector<std::string>{"폴더를 선택하여 주세요"});
  EXPECT_EQ(Control().downFolder(), "/srv/받은 파일");
  EXPECT_EQ(Caption("lblDownloadFolder"), "/srv/받은 파일");
  EXPECT_EQ(RegistryFolder(), "/srv/받은 파일");
}

TEST_F(DownloadListTest, ACancelledChoiceFallsBackToTheRegistryAndWritesNothing) {
  base_.ui.SetFolderAnswer([](std::string_view) { return std::string("/srv/chosen"); });
  Surface().Click("cmdSelFolder");
  // Someone else changed the stored folder meanwhile.
  Control().RegiSaveString(kLocalMachine, kSettingsKeyPath, kDownPathValueName, "/srv/stored");
  base_.ui.SetFolderAnswer([](std::string_view) { return std::optional<std::string>(); });

  Surface().Click("cmdSelFolder");

  EXPECT_EQ(Control().downFolder(), "/srv/stored");
  EXPECT_EQ(Caption("lblDownloadFolder"), "/srv/stored");
  EXPECT_EQ(RegistryFolder(), "/srv/stored");
}

TEST_F(DownloadListTest, OpeningTheFolderCreatesItAndSaysWhenNothingCanShowIt) {
  const std::string folder = base_.Scratch() / "opened";
  base_.ui.SetFolderAnswer([&](std::string_view) { return folder; });
  Surface().Click("cmdSelFolder");

  Surface().Click("cmdFolderView");
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_EQ(shell_.opened, std::vector<std::string>{folder});
  EXPECT_TRUE(Messages().empty());

  shell_.opens = false;
  Surface().Click("cmdFolderView");
  ASSERT_EQ(Messages().size(), 1U);
  EXPECT_TRUE(Messages()[0].text.starts_with("다운로드 폴더를 열 수 있는 프로그램이 없습니다."));
}

TEST_F(DownloadListTest, MembersAreCalledByNameInTheirOrder) {
  std::vector<Variant> add = {Variant("/x/%B0%A1.txt"), Variant("2048")};
  InvokeMember(Control(), "AddDownloadFile", MemberKind::kMethod, add);
  std::vector<Variant> none;
  EXPECT_EQ(InvokeMember(Control(), "CheckDupFile", MemberKind::kMethod, none),
            Variant::FromBool(false));
  Surface().Click("chkDupFile");
  EXPECT_EQ(InvokeMember(Control(), "checkdupfile", MemberKind::kMethod, none),
            Variant::FromBool(true));
  EXPECT_EQ(InvokeMember(Control(), "downFolder", MemberKind::kMethod, none),
            Variant(Control().downFolder()));
  EXPECT_EQ(InvokeMember(Control(), "DownFileList", MemberKind::kGet, none),
            Variant(Variant::FileArray{}));
  EXPECT_EQ(List().RowText(1), "가.txt");

  std::vector<std::string_view> names;
  for (const Member& member : MemberTable()) names.push_back(member.name);
  const auto at = [&](std::string_view name) {
    return std::find(names.begin(), names.end(), name) - names.begin();
  };
  EXPECT_EQ(at("DownFileList"), at("UpDownload") + 2);  // after its reader and writer
  EXPECT_EQ(at("AddDownloadFile"), at("DownFileList") + 1);
  EXPECT_EQ(at("CheckDupFile"), at("downFolder") + 1);
  EXPECT_EQ(at("RegiSaveString"), at("CheckDupFile") + 1);
}

}  // namespace
}  // namespace veldrask::testing
