// Submit as a page calls it: files chosen with the add command, fields added by the page, the
// request composed and sent by the upload window to a real server.

#include <gtest/gtest.h>

#include "base/error.h"
#include "control/uploader_control.h"
#include "headless/file_dialog.h"
#include "posix_test_platform.h"
#include "support/files.h"
#include "support/servers.h"
#include "support/temp_dir.h"
#include "support/upload_report.h"

namespace veldrask::testing {
namespace {

class SubmitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    control_.InitNew();
    control_.SetMaxFileCount(10);
    control_.SetMaxFileSize(100);
    control_.SetActionURL("/upload.php");
    control_.SetReturnURL("/done.html");
  }

  // The user picks files in the open dialog and presses the add button.
  void AddFiles(const std::string& folder, const std::vector<std::string>& names) {
    platform_.ui.SetFileOpenAnswer([&](const FileDialog&) {
      return std::optional<std::string>(headless::SelectedFiles(folder, names));
    });
    platform_.ui.FindForm("UploaderControl")->Click("cmdAdd");
  }

  const std::vector<headless::MessageRecord>& Messages() { return platform_.ui.Messages(); }

  PosixTestPlatform platform_;
  RecordingHost host_;
  UploaderControl control_{platform_.Get(), host_};
  TempDir files_;
};

TEST_F(SubmitTest, UploadsFilesAndFieldsToARealServerAndNavigates) {
  TempDir store;
  const auto server = StartPhpServer(store.path());
  WriteDeterministicFile(files_ / "a.txt", 5, "a");
  WriteDeterministicFile(files_ / "보고서.bin", 200000, "b");
  WriteDeterministicFile(files_ / "empty.dat", 0, "c");
  AddFiles(files_.path(), {"a.txt", "보고서.bin", "empty.dat"});
  ASSERT_EQ(control_.CurrentFileCount(), 3);

  control_.SetHostName("http://127.0.0.1:" + std::to_string(server->port()) + "/index.html");
  control_.SetServerPort(static_cast<std::int16_t>(server->port()));
  host_.document->cookie = "sid=42";
  control_.AddPostData("title", "hello");
  control_.AddPostData("user", "김철수");

  const std::string reply = control_.Submit();
  EXPECT_TRUE(Messages().empty()) << Messages().front().text;
  EXPECT_EQ(control_.HostName(), "127.0.0.1");
  EXPECT_EQ(host_.document->locations, std::vector<std::string>{"http://127.0.0.1/done.html"});

  const UploadReport report = ParseUploadReport(reply);
  ASSERT_NE(report.FindField("title"), nullptr);
  EXPECT_EQ(report.FindField("title")->value, "hello");
  EXPECT_EQ(report.FindField("user")->value, platform_.ansi.Encode("김철수"));
  ASSERT_EQ(report.files.size(), 3u);
  const ReportedFile* korean = report.FindFile("file_2");
  ASSERT_NE(korean, nullptr);
  EXPECT_EQ(korean->filename, platform_.ansi.Encode("보고서.bin"));
  EXPECT_EQ(korean->sha256, FileSha256(files_ / "보고서.bin"));
  EXPECT_EQ(report.FindFile("file_3")->size, 0u);
  EXPECT_NE(control_.UploadHTTPHeader().find("Cookie: sid=42\r\n"), std::string::npos);
  EXPECT_EQ(control_.AttachedFileList().size(), 4u);
}

TEST_F(SubmitTest, WithoutServerDataNothingIsComposedOrSent) {
  control_.SetHostName(":8080/path");  // normalizes to the empty string
  EXPECT_EQ(control_.Submit(), "");
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].text, "서버명 이나 서버에서 처리될 스크립트가 존재하지 않습니다.");
  EXPECT_EQ(Messages()[0].icon, MessageIcon::kNone);
  EXPECT_EQ(control_.UploadHTTPHeader(), "");
  EXPECT_TRUE(host_.document->locations.empty());
}

TEST_F(SubmitTest, AFailureBeforeTheSessionEmptiesTheFieldsAndDoesNotNavigate) {
  WriteDeterministicFile(files_ / "gone.txt", 10, "g");
  AddFiles(files_.path(), {"gone.txt"});
  std::filesystem::remove(files_ / "gone.txt");
  control_.SetHostName("127.0.0.1");
  control_.AddPostData("kept", "until the failure");

  EXPECT_EQ(control_.Submit(), "");
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].text, "[53] 파일을 찾을 수 없습니다.");
  EXPECT_EQ(Messages()[0].icon, MessageIcon::kCritical);
  EXPECT_EQ(Messages()[0].caption, control_.MainTitle());
  EXPECT_TRUE(host_.document->locations.empty());
  EXPECT_NE(control_.UploadHTTPFormData().find("kept"), std::string::npos);

  // The fields went with the failure: the next composition has none.
  auto& surface = *platform_.ui.FindForm("UploaderControl");
  surface.SelectRows("UploadFileList", {1});
  surface.Click("cmdDelete");
  std::optional<FakeDocument> document = std::move(host_.document);
  host_.document.reset();  // a host without a document takes the failure path too
  EXPECT_EQ(control_.Submit(), "");
  EXPECT_EQ(Messages().back().text, "[424] 개체가 필요합니다.");
  EXPECT_TRUE(document->locations.empty());

  host_.document = std::move(document);
  control_.SetServerPort(1);
  control_.Submit();
  EXPECT_EQ(control_.UploadHTTPFormData(), "--" + control_.Boundary() + "--");
}

TEST_F(SubmitTest, ARefusedConnectionIsReportedAndThePageStillNavigates) {
  control_.SetHostName("127.0.0.1");
  control_.SetServerPort(1);  // nothing listens on port 1
  EXPECT_EQ(control_.Submit(), "");
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].text.rfind("10061:", 0), 0u) << Messages()[0].text;
  EXPECT_EQ(host_.document->locations.size(), 1u);
}

// A Korean-named file and a Korean field value with Charset UTF-8 arrive intact at servers
// that read only UTF-8, with Content-Length counted in UTF-8 bytes.
class SubmitUtf8Test : public SubmitTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(SubmitUtf8Test, KoreanNamesAndValuesArriveIntact) {
  TempDir store;
  const auto server = StartUploadServer(GetParam(), store.path());
  const std::string hash = WriteDeterministicFile(files_ / "보고서.txt", 3000, "k");
  AddFiles(files_.path(), {"보고서.txt"});
  control_.SetHostName("127.0.0.1");
  control_.SetServerPort(static_cast<std::int16_t>(server->port()));
  control_.SetCharset("utf8");
  control_.AddPostData("이름", "김철수");

  const UploadReport report = ParseUploadReport(control_.Submit());
  EXPECT_TRUE(Messages().empty());
  ASSERT_NE(report.FindField("이름"), nullptr);
  EXPECT_EQ(report.FindField("이름")->value, "김철수");
  ASSERT_NE(report.FindFile("file_1"), nullptr);
  EXPECT_EQ(report.FindFile("file_1")->filename, "보고서.txt");
  EXPECT_EQ(report.FindFile("file_1")->sha256, hash);

  const std::string& header = control_.UploadHTTPHeader();
  const std::string partHead = control_.AttachedFileList()[1].header;
  const std::size_t expected = control_.UploadHTTPFormData().size() + partHead.size() + 3000 +
                               control_.Boundary().size() + 6;
  EXPECT_NE(header.find("Content-Length: " + std::to_string(expected) + "\r\n"), std::string::npos)
      << header;
}

INSTANTIATE_TEST_SUITE_P(Servers, SubmitUtf8Test, ::testing::Values("werkzeug", "busboy"));

TEST_F(SubmitTest, AnEmptyOrAnsiCharsetSendsTheSameBytes) {
  TempDir recordings;
  const auto server = StartRecordingServer(recordings.path(), RecordingReply{});
  WriteDeterministicFile(files_ / "자료.bin", 100, "r");
  AddFiles(files_.path(), {"자료.bin"});
  control_.SetHostName("127.0.0.1");
  control_.SetServerPort(static_cast<std::int16_t>(server->port()));
  control_.AddPostData("제목", "값");
  EXPECT_EQ(control_.Submit(), "done");
  control_.SetCharset("cp-949");
  EXPECT_EQ(control_.Submit(), "done");
  const std::string first = WaitForRecordedConnection(recordings.path(), 1);
  EXPECT_EQ(WaitForRecordedConnection(recordings.path(), 2), first);
  EXPECT_NE(first.find(platform_.ansi.Encode("filename=\"자료.bin\"")), std::string::npos);
}

TEST_F(SubmitTest, AnUnknownCharsetTakesTheFailurePathNamingIt) {
  control_.SetHostName("127.0.0.1");
  control_.SetCharset("latin-9");
  EXPECT_EQ(control_.Submit(), "");
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].text.rfind("[5] ", 0), 0u);
  EXPECT_NE(Messages()[0].text.find("latin-9"), std::string::npos);
  EXPECT_TRUE(host_.document->locations.empty());
}

TEST_F(SubmitTest, TheFieldCountIsASixteenBitValue) {
  for (int i = 0; i < 32767; ++i) control_.AddPostData("f", "v");
  try {
    control_.AddPostData("one", "too many");
    FAIL() << "the 32768th field was accepted";
  } catch (const Error& error) {
    EXPECT_EQ(error.Number(), 6);
  }
}

}  // namespace
}  // namespace veldrask::testing
