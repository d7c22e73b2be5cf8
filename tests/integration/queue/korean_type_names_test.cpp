// Type names through the real GIO shell in the user's language. GIO caches descriptions per
// process, so the language is set before the first test runs.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "control/uploader_control.h"
#include "posix_test_platform.h"

namespace veldrask::testing {
namespace {

class KoreanLanguage : public ::testing::Environment {
 public:
  void SetUp() override {
    setenv("LANGUAGE", "ko_KR.UTF-8:ko", 1);
    setenv("LANG", "ko_KR.UTF-8", 1);
  }
};

[[maybe_unused]] ::testing::Environment* const kKoreanLanguage =
    ::testing::AddGlobalTestEnvironment(new KoreanLanguage);

class KoreanTypeNames : public ::testing::Test {
 protected:
  KoreanTypeNames() { control_.InitNew(); }

  headless::HeadlessForm& Surface() { return *test_.ui.FindForm("UploaderControl"); }
  headless::HeadlessListView& List() {
    return Surface().Get<headless::HeadlessListView>("UploadFileList");
  }

  PosixTestPlatform test_;
  RecordingHost host_;
  UploaderControl control_{test_.Get(), host_};
  ScratchFolder files_;
};

TEST_F(KoreanTypeNames, LocalFilesGetTheirTypeNamesFromTheirContent) {
  const std::string text = files_.WriteFile("memo.txt", "안녕하세요\n");
  const std::string pdf = files_.WriteFile("paper.pdf", "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
  EXPECT_EQ(control_.Queue().Icons().AddFileIcon(text, "txt"), "일반 텍스트 문서");
  EXPECT_EQ(control_.Queue().Icons().AddFileIcon(pdf, "pdf"), "PDF 문서");
}

TEST_F(KoreanTypeNames, AddedRowsShowTheTypeName) {
  control_.SetMaxFileCount(5);
  const std::string text = files_.WriteFile("memo.txt", "plain words\n");
  test_.ui.SetFileOpenAnswer([&](const FileDialog&) { return headless::SelectedFile(text); });
  Surface().Click("cmdAdd");
  control_.AddUploadedFile("docs/%EB%B3%B4%EA%B3%A0%EC%84%9C.pdf", 4096);

  ASSERT_EQ(List().RowCount(), 2);
  EXPECT_EQ(List().SubItem(1, 2), "일반 텍스트 문서");
  // The server file is judged by an empty stand-in of the same name.
  EXPECT_EQ(List().SubItem(2, 2), "PDF 문서");
  EXPECT_EQ(List().IconKey(2), "pdf");
}

}  // namespace
}  // namespace veldrask::testing
