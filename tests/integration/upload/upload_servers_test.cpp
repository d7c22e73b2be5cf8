// Whole uploads through the POSIX socket: byte for byte as a recording server keeps them, and
// parsed and stored by the upload servers of four multipart parsers.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "integration/upload/upload_session_fixture.h"
#include "support/files.h"
#include "support/servers.h"
#include "support/upload_report.h"

namespace veldrask::upload_test {
namespace {

using std::chrono_literals::operator""s;

class RecordedUploadTest : public UploadSessionTest {};

TEST_F(RecordedUploadTest, EmptyQueueSendsHeadAndClosingDelimiter) {
  Compose({}, {});
  testing::TempDir records;
  const auto server = testing::StartRecordingServer(records.path());
  Run(server->port());
  const std::string recorded = testing::WaitForRecordedConnection(records.path(), 1);
  EXPECT_EQ(recorded, ExpectedWire());
  EXPECT_TRUE(recorded.ends_with("\r\n\r\n--" + std::string(kBoundary) + "--"));
}

std::string Chunk(std::string_view data) {
  char size[24];
  std::snprintf(size, sizeof size, "%zx\r\n", data.size());
  return size + std::string(data) + "\r\n";
}

testing::RecordingReply Reply(std::string body, std::string charset = "",
                              bool contentLength = true) {
  testing::RecordingReply reply;
  reply.body = std::move(body);
  reply.charset = std::move(charset);
  reply.content_length = contentLength;
  return reply;
}

struct ReplyCase {
  const char* label;
  testing::RecordingReply reply;
  std::string expected;
};

TEST_F(RecordedUploadTest, ReplyBodyArrivesAsText) {
  const std::string korean = "업로드가 완료되었습니다. 파일 3개";
  const auto chunked = dir_ / "chunked-reply";
  // The second chunk ends inside a Hangul syllable: the text is decoded after the chunks join.
  testing::WriteFile(chunked,
                     "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n"
                     "Content-Type: text/plain; charset=utf-8\r\n\r\n" +
                         Chunk("result=") + Chunk(korean.substr(0, 10)) + Chunk(korean.substr(10)) +
                         "0\r\n\r\n");
  testing::RecordingReply raw;
  raw.raw_reply_file = chunked;
  const std::vector<ReplyCase> cases = {
      {"utf-8", Reply(korean, "UTF-8"), korean},
      {"euc-kr", Reply(korean, "EUC-KR"), korean},
      {"undeclared", Reply("plain ascii"), "plain ascii"},
      {"until close", Reply(korean, "utf-8", false), korean},
      {"chunked", raw, "result=" + korean},
  };
  for (const ReplyCase& reply : cases) {
    SCOPED_TRACE(reply.label);
    Compose({}, {{"k", "v"}});
    testing::TempDir records;
    const auto server = testing::StartRecordingServer(records.path(), reply.reply);
    owner_.responses.clear();
    const SessionOutcome outcome = Run(server->port());
    EXPECT_EQ(owner_.responses, std::vector<std::string>{reply.expected});
    EXPECT_TRUE(outcome.messages.empty());
  }
}

std::unique_ptr<testing::ServerProcess> StartUploadServer(const std::string& kind,
                                                          const std::filesystem::path& store) {
  if (kind == "php") return testing::StartPhpServer(store);
  if (kind == "formidable" || kind == "busboy") return testing::StartNodeServer(kind, store);
  return testing::StartPythonServer(kind, store);
}

// The part of a name after its last byte that is not ASCII.
std::string AsciiTail(std::string_view name) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (static_cast<unsigned char>(name[i]) >= 0x80) start = i + 1;
  }
  return std::string(name.substr(start));
}

class ParserUploadTest : public UploadSessionTest,
                         public ::testing::WithParamInterface<std::string> {
 protected:
  // PHP hands over the bytes of names and values as sent. The Node parsers and Python's email
  // parser read them as UTF-8, so bytes of the Korean code page come back as U+FFFD and only
  // the text after the last of them can be compared.
  void ExpectSentText(const std::string& reported, const std::string& sent) const {
    if (GetParam() == "php") {
      EXPECT_EQ(reported, sent);
    } else {
      EXPECT_TRUE(reported.ends_with(AsciiTail(sent))) << reported;
    }
  }

  explicit ParserUploadTest(std::chrono::seconds limit = std::chrono::seconds(120))
      : UploadSessionTest(limit) {}

  // Uploads paths with two fields; every file must be stored whole under its sent name.
  void UploadAndCheck(const std::vector<std::filesystem::path>& paths) {
    Compose(paths, {{"title", "분기 보고 Q3"}, {"user", "kim"}});
    testing::TempDir store;
    const auto server = StartUploadServer(GetParam(), store.path());
    const SessionOutcome outcome = Run(server->port());
    EXPECT_TRUE(outcome.messages.empty());
    EXPECT_EQ(outcome.statuses, std::vector<std::string>(paths.size(), "완료"));
    ASSERT_EQ(owner_.responses.size(), 1u);
    const testing::UploadReport report = testing::ParseUploadReport(owner_.responses[0]);

    const CodePage& ansi = platform_.ansi;
    ASSERT_NE(report.FindField("title"), nullptr);
    ExpectSentText(report.FindField("title")->value, ansi.Encode("분기 보고 Q3"));
    ASSERT_NE(report.FindField("user"), nullptr);
    EXPECT_EQ(report.FindField("user")->value, "kim");
    ASSERT_EQ(report.files.size(), paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
      const std::string field = "file_" + std::to_string(i + 1);
      SCOPED_TRACE(field);
      const testing::ReportedFile* file = report.FindFile(field);
      ASSERT_NE(file, nullptr);
      ExpectSentText(file->filename, ansi.Encode(paths[i].filename().string()));
      EXPECT_EQ(file->size, std::filesystem::file_size(paths[i]));
      EXPECT_EQ(file->sha256, Sha256OfFile(paths[i]));
    }
  }
};

TEST_P(ParserUploadTest, FilesAndFieldsArriveIntact) {
  const auto korean = dir_ / "보고서 2024.txt";
  testing::WriteDeterministicFile(korean, 12345);
  const auto empty = dir_ / "empty.bin";
  testing::WriteFile(empty, "");
  const auto exact = dir_ / "exact.dat";
  testing::WriteDeterministicFile(exact, 4 * 8192);
  const auto tail = dir_ / "tail.txt";
  // A line that is the boundary but for its last character, and bare CR and LF.
  testing::WriteFile(tail, "\r\n--" + std::string(kBoundary.substr(0, 31)) + "X\r\n\r\r\n\n--");
  UploadAndCheck({korean, empty, exact, tail});
}

TEST_P(ParserUploadTest, FileOver100MegabytesArrivesIntact) {
  const auto big = dir_ / "large.bin";
  WritePatternFile(big, (100 << 20) + 12345);
  UploadAndCheck({big});
}

INSTANTIATE_TEST_SUITE_P(Parsers, ParserUploadTest,
                         ::testing::Values("php", "formidable", "busboy", "email"),
                         [](const auto& test) { return test.param; });

}  // namespace
}  // namespace veldrask::upload_test
