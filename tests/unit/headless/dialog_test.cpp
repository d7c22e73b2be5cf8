#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "headless_fixture.h"

namespace veldrask::headless {
namespace {

using namespace std::string_literals;

class DialogTest : public HeadlessTest {
 protected:
  HeadlessFileDialog& dialog = dynamic_cast<HeadlessFileDialog&>(form->AddFileDialog("dlgOpen"));
};

TEST_F(DialogTest, WithoutAnAnswerTheFileDialogCancels) {
  dialog.SetFileName("previous.txt");
  dialog.ShowOpen();
  EXPECT_EQ(dialog.FileName(), "previous.txt");
  EXPECT_EQ(dialog.ShowCount(), 1);
}

TEST_F(DialogTest, AnswersSeeTheDialogAndReplaceOrKeepTheFileName) {
  std::vector<std::optional<std::string>> answers = {SelectedFile("/home/u/보고서.doc"),
                                                     std::nullopt};
  std::vector<std::int32_t> flagsSeen;
  ui.SetFileOpenAnswer([&](const FileDialog& shown) {
    flagsSeen.push_back(shown.Flags());
    std::optional<std::string> answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  });
  dialog.SetFlags(0x200);
  dialog.ShowOpen();
  EXPECT_EQ(dialog.FileName(), "/home/u/보고서.doc");
  dialog.ShowOpen();
  EXPECT_EQ(dialog.FileName(), "/home/u/보고서.doc") << "a cancel keeps the name";
  EXPECT_EQ(flagsSeen, (std::vector<std::int32_t>{0x200, 0x200}));
}

TEST_F(DialogTest, MultipleSelectionSeparatesFolderAndNamesWithNuls) {
  const std::string selection = SelectedFiles("C:\\Data", {"a.txt", "가.doc"});
  EXPECT_EQ(selection, "C:\\Data\0a.txt\0가.doc"s);
  ui.SetFileOpenAnswer([&](const FileDialog&) { return selection; });
  dialog.ShowOpen();
  EXPECT_EQ(dialog.FileName(), selection);
  EXPECT_EQ(SelectedFiles("C:\\Data", {}), "C:\\Data");
}

TEST_F(DialogTest, ShownMessagesAreRecordedInOrderAndObserved) {
  std::vector<std::string> printed;
  ui.ShowMessage("파일이 없습니다.", MessageIcon::kCritical, std::nullopt);
  ui.SetMessageObserver([&](const MessageRecord& message) { printed.push_back(message.text); });
  ui.ShowMessage("전송 완료", MessageIcon::kInformation, "알림");

  EXPECT_EQ(ui.Messages(),
            (std::vector<MessageRecord>{{"파일이 없습니다.", MessageIcon::kCritical, std::nullopt},
                                        {"전송 완료", MessageIcon::kInformation, "알림"}}));
  EXPECT_EQ(printed, (std::vector<std::string>{"전송 완료"}));
}

TEST_F(DialogTest, FolderBrowserRecordsTitlesAndGivesEmptyOnCancel) {
  EXPECT_EQ(ui.BrowseForFolder("저장할 폴더"), "");
  ui.SetFolderAnswer([](std::string_view title) -> std::optional<std::string> {
    if (title == "취소") return std::nullopt;
    return "/home/u/받은 파일";
  });
  EXPECT_EQ(ui.BrowseForFolder("폴더 선택"), "/home/u/받은 파일");
  EXPECT_EQ(ui.BrowseForFolder("취소"), "");
  EXPECT_EQ(ui.FolderRequests(), (std::vector<std::string>{"저장할 폴더", "폴더 선택", "취소"}));
}

}  // namespace
}  // namespace veldrask::headless
