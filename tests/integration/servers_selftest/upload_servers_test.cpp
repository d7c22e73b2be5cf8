// The upload servers against a multipart POST written out by hand: every one must list the
// fields and files it parsed, store the files byte for byte and serve them back.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "support/deterministic_bytes.h"
#include "support/files.h"
#include "support/hex.h"
#include "support/raw_http.h"
#include "support/servers.h"
#include "support/sha256.h"
#include "support/temp_dir.h"
#include "support/test_deadline.h"
#include "support/upload_report.h"

namespace veldrask::testing {
namespace {

using std::chrono_literals::operator""s;

constexpr std::string_view kBoundary = "----veldrask7MA4YWxkTrZu0gW";
const std::string kKoreanName = "보고서 2024.txt";  // UTF-8

// File content made to trip a careless parser: every byte value, bare CR and LF, and a line
// that is the boundary but for its last character.
std::string TrickyContent() {
  std::string content;
  for (int i = 0; i < 256; ++i) content.push_back(static_cast<char>(i));
  content += "\r\n--" + std::string(kBoundary.substr(0, kBoundary.size() - 1)) + "X\r\n";
  content += "\r\r\n\n--\r\n";
  return content;
}

std::string FieldPart(std::string_view name, std::string_view value) {
  return "--" + std::string(kBoundary) + "\r\nContent-Disposition: form-data; name=\"" +
         std::string(name) + "\"\r\n\r\n" + std::string(value) + "\r\n";
}

std::string FilePart(std::string_view field, std::string_view filename, std::string_view content) {
  return "--" + std::string(kBoundary) + "\r\nContent-Disposition: form-data; name=\"" +
         std::string(field) + "\"; filename=\"" + std::string(filename) +
         "\"\r\nContent-Type: application/octet-stream\r\n\r\n" + std::string(content) + "\r\n";
}

std::string PostRequest(int port, const std::string& body) {
  return "POST /upload.php HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
         "\r\nContent-Type: multipart/form-data; boundary=" + std::string(kBoundary) +
         "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" +
         body;
}

UploadReport Post(const ServerProcess& server, const std::string& body) {
  const HttpReply reply = ParseHttpReply(SendRaw(server.port(), PostRequest(server.port(), body)));
  EXPECT_EQ(reply.status, 200) << reply.body;
  return ParseUploadReport(reply.body);
}

class UploadServerSelftest : public ::testing::TestWithParam<std::string_view> {
 protected:
  TestDeadline deadline_{60s};
  TempDir store_;
};

TEST_P(UploadServerSelftest, ReportsStoresAndServesEveryPart) {
  const auto server = StartUploadServer(GetParam(), store_.path());
  const std::string tricky = TrickyContent();
  const std::string large = DeterministicBytes("large.bin", 0, 3 * 1024 * 1024 + 17);
  const std::string body =
      FieldPart("note", "plain ascii") + FieldPart("title", "업로드 테스트") +
      FilePart("tricky", "tricky.bin", tricky) + FilePart("korean", kKoreanName, "한글 내용\r\n") +
      FilePart("empty", "empty.txt", "") + FilePart("large", "large.bin", large) + "--" +
      std::string(kBoundary) + "--\r\n";

  const UploadReport report = Post(*server, body);

  EXPECT_EQ(report.server, GetParam());
  EXPECT_EQ(report.method, "POST");
  ASSERT_EQ(report.fields.size(), 2u);
  ASSERT_NE(report.FindField("note"), nullptr);
  EXPECT_EQ(report.FindField("note")->value, "plain ascii");
  ASSERT_NE(report.FindField("title"), nullptr);
  EXPECT_EQ(report.FindField("title")->value, "업로드 테스트");

  ASSERT_EQ(report.files.size(), 4u);
  const struct {
    const char* field;
    std::string name;
    std::string content;
  } expected[] = {{"tricky", "tricky.bin", tricky},
                  {"korean", kKoreanName, "한글 내용\r\n"},
                  {"empty", "empty.txt", ""},
                  {"large", "large.bin", large}};
  for (const auto& want : expected) {
    SCOPED_TRACE(want.field);
    const ReportedFile* file = report.FindFile(want.field);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->filename, want.name);
    EXPECT_EQ(file->stored, want.name);
    EXPECT_EQ(file->content_type, "application/octet-stream");
    EXPECT_EQ(file->error, 0);
    EXPECT_EQ(file->size, want.content.size());
    EXPECT_EQ(file->sha256, Sha256Hex(want.content));
    EXPECT_EQ(ReadFile(store_ / want.name), want.content);

    const HttpReply download = HttpGet(server->port(), "/" + PercentEncodePath(want.name));
    EXPECT_EQ(download.status, 200);
    EXPECT_EQ(download.Header("Content-Length"), std::to_string(want.content.size()));
    EXPECT_EQ(download.body, want.content);
  }
  EXPECT_EQ(HttpGet(server->port(), "/missing.bin").status, 404);
  EXPECT_EQ(HttpGet(server->port(), "/../" + store_.path().filename().string()).status, 404);
}

TEST_P(UploadServerSelftest, KeepsRepeatedFieldsAndAcceptsAnEmptyForm) {
  const auto server = StartUploadServer(GetParam(), store_.path());
  const UploadReport repeated = Post(*server, FieldPart("tag", "one") + FieldPart("tag", "two") +
                                                  "--" + std::string(kBoundary) + "--\r\n");
  ASSERT_EQ(repeated.fields.size(), GetParam() == "php" ? 1u : 2u);
  if (GetParam() == "php") {
    EXPECT_EQ(repeated.fields[0].value, "two");  // PHP keeps the last of a name without []
  } else {
    EXPECT_EQ(repeated.fields[0].value, "one");
    EXPECT_EQ(repeated.fields[1].value, "two");
  }
  EXPECT_TRUE(repeated.files.empty());
}

INSTANTIATE_TEST_SUITE_P(Servers, UploadServerSelftest, ::testing::ValuesIn(kUploadServerKinds),
                         [](const auto& param_info) { return std::string(param_info.param); });

class PhpServerSelftest : public ::testing::Test {
 protected:
  TestDeadline deadline_{60s};
  TempDir store_;
};

TEST_F(PhpServerSelftest, KeepsRawCp949NamesAndServesBothPercentEncodings) {
  const auto server = StartPhpServer(store_.path());
  const std::string cp949_name = "\xB0\xA1\xB3\xAA.txt";  // 가나.txt in CP949
  const std::string utf8_name = "가나.txt";
  const UploadReport report =
      Post(*server, FilePart("a", cp949_name, "cp949 named") +
                        FilePart("b", "C:\\Users\\me\\" + utf8_name, "utf-8 named") + "--" +
                        std::string(kBoundary) + "--\r\n");
  ASSERT_EQ(report.files.size(), 2u);
  EXPECT_EQ(report.FindFile("a")->filename, cp949_name);
  EXPECT_EQ(report.FindFile("a")->stored, cp949_name);
  // PHP keeps only the last path component, and the name as sent in full_path.
  EXPECT_EQ(report.FindFile("b")->filename, utf8_name);
  EXPECT_EQ(report.FindFile("b")->full_path, "C:\\Users\\me\\" + utf8_name);
  EXPECT_EQ(ReadFile(store_ / cp949_name), "cp949 named");
  EXPECT_EQ(ReadFile(store_ / utf8_name), "utf-8 named");

  const HttpReply by_cp949 = HttpGet(server->port(), "/%B0%A1%B3%AA.txt");
  EXPECT_EQ(by_cp949.status, 200);
  EXPECT_EQ(by_cp949.body, "cp949 named");
  const HttpReply by_utf8 = HttpGet(server->port(), "/%EA%B0%80%EB%82%98.txt?x=1");
  EXPECT_EQ(by_utf8.status, 200);
  EXPECT_EQ(by_utf8.body, "utf-8 named");
}

TEST_F(PhpServerSelftest, ReportsAFilePartWithoutFileAsNoFile) {
  const auto server = StartPhpServer(store_.path());
  const UploadReport report =
      Post(*server, FilePart("nothing", "", "") + "--" + std::string(kBoundary) + "--\r\n");
  ASSERT_EQ(report.files.size(), 1u);
  EXPECT_EQ(report.files[0].error, 4);  // UPLOAD_ERR_NO_FILE
  EXPECT_EQ(report.files[0].stored, "");
  EXPECT_TRUE(std::filesystem::is_empty(store_.path()));
}

TEST_F(PhpServerSelftest, OnlyPathsEndingInUploadPhpTakeUploads) {
  const auto server = StartPhpServer(store_.path());
  const std::string body = FilePart("f", "x.txt", "x") + "--" + std::string(kBoundary) + "--\r\n";
  std::string request = PostRequest(server->port(), body);
  request.replace(request.find("/upload.php"), 11, "/dir/my-upload.php");
  EXPECT_EQ(ParseUploadReport(ParseHttpReply(SendRaw(server->port(), request)).body).path,
            "/dir/my-upload.php");
  request.replace(request.find("/dir/my-upload.php"), 18, "/other.php");
  EXPECT_EQ(ParseHttpReply(SendRaw(server->port(), request)).status, 404);
}

TEST(HarnessServerProcessTest, FailsClearlyWhenTheServerCannotStart) {
  TestDeadline deadline(30s);
  TempDir dir;
  try {
    StartPythonServer("email", dir / "missing-store");
    FAIL() << "started without a store directory";
  } catch (const std::invalid_argument& error) {
    EXPECT_NE(std::string(error.what()).find("missing-store"), std::string::npos);
  }
  ServerCommand exits;
  exits.argv = {"bash", "-c", "echo 'no port for you' >&2; exit 3"};
  try {
    ServerProcess process(exits);
    FAIL() << "no port line";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("no port for you"), std::string::npos);
  }
  ServerCommand silent;
  silent.argv = {"sleep", "30"};
  silent.startup_timeout = std::chrono::milliseconds(300);
  EXPECT_THROW(ServerProcess process(silent), std::runtime_error);
  ServerCommand ephemeral;
  ephemeral.argv = {"bash", "-c", "echo 'PORT 40000'; sleep 30"};
  EXPECT_THROW(ServerProcess process(ephemeral), std::runtime_error);
}

// Processes of a group that have not exited; zombies waiting for init to reap them do not count.
int LiveProcessesInGroup(pid_t group) {
  int live = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::string stat;
    try {
      stat = ReadFile(entry.path() / "stat");
    } catch (const std::exception&) {
      continue;  // not a process, or gone meanwhile
    }
    // "pid (comm) state ppid pgrp ...": comm may hold spaces, so fields count from its ")".
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) continue;
    char state = 0;
    long parent = 0;
    long process_group = 0;
    if (std::sscanf(stat.c_str() + close + 1, " %c %ld %ld", &state, &parent, &process_group) ==
            3 &&
        process_group == group && state != 'Z') {
      ++live;
    }
  }
  return live;
}

TEST(HarnessServerProcessTest, StopEndsTheWholeProcessGroup) {
  TestDeadline deadline(30s);
  ServerCommand command;
  // The child ignores SIGTERM, so only the group-wide SIGKILL can end it.
  command.argv = {"bash", "-c", "bash -c 'trap \"\" TERM; sleep 60' & echo \"PORT 1234\"; wait"};
  ServerProcess process(command);
  EXPECT_EQ(process.port(), 1234);
  const pid_t group = process.pid();
  EXPECT_TRUE(process.Running());
  EXPECT_GE(LiveProcessesInGroup(group), 2);  // the shell and the TERM-proof sleep
  process.Stop();
  EXPECT_FALSE(process.Running());
  // SIGKILL has been sent to the group; its members may take a moment to be gone.
  for (int i = 0; i < 200 && LiveProcessesInGroup(group) > 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(LiveProcessesInGroup(group), 0);
}

}  // namespace
}  // namespace veldrask::testing
