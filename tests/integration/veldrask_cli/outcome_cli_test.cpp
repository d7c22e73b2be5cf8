// What veldrask says and how it exits when a server does or does not take an upload: servers
// written as their frameworks' users write them, misbehaving servers, time limits, the raw
// reply and the heads shown by --verbose.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "cli_test.h"
#include "no_accept_port.h"
#include "support/files.h"
#include "support/servers.h"
#include "support/upload_report.h"

namespace veldrask::testing {
namespace {

class OutcomeCliTest : public CliTest {
 protected:
  void SetUp() override {
    Write("a.txt", "alpha\n");
    Write("z.txt", "zulu\n");
    Write("x.pdf", "%PDF");
    Write("mid.bin", std::string(5000, 'm'));
    store_ = Folder("store");
  }

  CliResult Upload(int port, const std::string& action, std::vector<std::string> tail) const {
    std::vector<std::string> arguments = {"--quiet",
                                          "--param",
                                          "HostName=127.0.0.1",
                                          "--param",
                                          "ServerPort=" + std::to_string(port),
                                          "--param",
                                          "ActionURL=" + action,
                                          "--param",
                                          "MaxFileCount=5",
                                          "--param",
                                          "MaxFileSize=10"};
    arguments.insert(arguments.end(), tail.begin(), tail.end());
    return RunIn(Root(), arguments);
  }

  std::filesystem::path store_;
};

// One route of a framework's app, the files chosen and what the user is told.
struct IdiomCase {
  std::string_view server;
  std::string_view route;
  std::vector<std::string> files;
  int status;
  std::string_view said;                  // on stderr; empty: the report lists every file
  std::vector<std::string> options = {};  // after upload
};

TEST_F(OutcomeCliTest, FrameworkAppsThatRefuseTheFormExit22WithTheirStatus) {
  const auto flask = StartPythonServer("flask", store_);
  const auto multer = StartNodeServer("multer", store_);
  const auto tooSmall = StartFlaskServer(store_, 1000);
  const std::vector<IdiomCase> cases = {
      {"flask", "/single", {"a.txt"}, 0, ""},
      {"flask", "/any", {"a.txt", "z.txt"}, 0, ""},
      {"flask", "/textbook", {"a.txt"}, 22, "서버 응답: 400 BAD REQUEST"},
      {"flask-limited", "/any", {"mid.bin"}, 22, "서버 응답: 413 REQUEST ENTITY TOO LARGE"},
      {"multer", "/single", {"a.txt"}, 0, ""},
      {"multer", "/single", {"a.txt", "z.txt"}, 22, "서버 응답: 400 Bad Request"},
      {"multer", "/array", {"a.txt"}, 22, "서버 응답: 400 Bad Request"},
      {"multer", "/array", {"a.txt", "z.txt"}, 0, "", {"--file-field", "files"}},
      {"flask", "/textbook", {"a.txt"}, 0, "", {"--file-field=file"}},
      {"multer", "/any", {"a.txt", "z.txt"}, 0, ""},
  };
  for (const IdiomCase& c : cases) {
    SCOPED_TRACE(std::string(c.server) + std::string(c.route));
    const ServerProcess& server = c.server == "multer"          ? *multer
                                  : c.server == "flask-limited" ? *tooSmall
                                                                : *flask;
    std::vector<std::string> tail = {"--param", "Charset=UTF-8", "upload"};
    tail.insert(tail.end(), c.options.begin(), c.options.end());
    tail.insert(tail.end(), c.files.begin(), c.files.end());

    const CliResult result = Upload(server.port(), std::string(c.route), tail);

    EXPECT_EQ(result.status, c.status) << result.err;
    if (c.said.empty()) {
      EXPECT_EQ(ParseUploadReport(result.out).files.size(), c.files.size());
    } else {
      EXPECT_NE(result.err.find(std::string(c.said) + "\n"), std::string::npos) << result.err;
    }
  }
}

// A server that misbehaves one way, the options given, and what the user is told.
struct MisbehaviourCase {
  std::string_view scenario;
  std::vector<std::string> options;
  int status;
  std::string_view said;
};

TEST_F(OutcomeCliTest, NoReplyAStatusOtherThan2xxAndStalledServersEachEndTheirOwnWay) {
  const std::vector<MisbehaviourCase> cases = {
      {"early-reply", {}, 22, "서버 응답: 413 Payload Too Large"},
      {"not-found", {}, 22, "서버 응답: 404 Not Found"},
      {"stall-head",
       {"--speed-time", "0.5"},
       28,
       "veldrask: stopped by --speed-time: no byte moved for 0.5 s"},
      {"stall",
       {"--max-time", "1"},
       28,
       "veldrask: stopped by --max-time: the transfer took longer than 1 s"},
  };
  for (const MisbehaviourCase& c : cases) {
    SCOPED_TRACE(std::string(c.scenario));
    const auto server = StartMisbehavingServer(c.scenario);
    std::vector<std::string> tail = c.options;
    tail.insert(tail.end(), {"upload", "mid.bin"});

    const CliResult result = Upload(server->port(), "/upload", tail);

    EXPECT_EQ(result.status, c.status) << result.err;
    EXPECT_NE(result.err.find(std::string(c.said) + "\n"), std::string::npos) << result.err;
  }

  // A server that takes the whole request and closes without a word.
  RecordingReply silence;
  silence.raw_reply_file = Write("empty-reply", "");
  const auto closing = StartRecordingServer(Folder("records"), silence);
  const CliResult result = Upload(closing->port(), "/upload", {"upload", "mid.bin"});
  EXPECT_EQ(result.status, 52) << result.err;
  EXPECT_NE(result.err.find("veldrask: upload: the server sent no HTTP reply (a server that "
                            "speaks only HTTPS closes a plain connection so; if it is one, use "
                            "--param HostName=https://127.0.0.1)\n"),
            std::string::npos)
      << result.err;
}

TEST_F(OutcomeCliTest, AServerThatNeverAcceptsEndsTheUploadAtTheConnectTimeout) {
  const NoAcceptPort silent;
  const CliResult result =
      Upload(silent.Port(), "/upload", {"--connect-timeout", "0.5", "upload", "a.txt"});
  EXPECT_EQ(result.status, 28) << result.err;
  EXPECT_NE(result.err.find("veldrask: stopped by --connect-timeout: no connection within 0.5 s"),
            std::string::npos)
      << result.err;
}

TEST_F(OutcomeCliTest, EachFileIsAddedOnItsOwnAndAFileNamedTwiceIsSaidOnce) {
  const auto php = StartPhpServer(store_);
  const CliResult result =
      Upload(php->port(), "/upload.php",
             {"--param", "ExcludeFileExtension=pdf", "upload", "--send-accepted", "a.txt", "x.pdf",
              "z.txt", "a.txt", "./a.txt"});

  EXPECT_EQ(result.status, 1) << "a refusal was shown";
  const UploadReport report = ParseUploadReport(result.out);
  ASSERT_EQ(report.files.size(), 2u) << "the file after the refused one still goes";
  EXPECT_EQ(report.files[0].filename, "a.txt");
  EXPECT_EQ(report.files[1].filename, "z.txt");
  const std::vector<std::string> lines = Lines(result.err);
  EXPECT_EQ(std::count(lines.begin(), lines.end(),
                       "veldrask: upload: named more than once, chosen once: a.txt, ./a.txt"),
            1)
      << result.err;

  // With the queue full, the count message comes once and the rest are listed.
  const CliResult full =
      Upload(php->port(), "/upload.php",
             {"--param", "MaxFileCount=1", "upload", "--send-accepted", "a.txt", "z.txt", "x.pdf"});
  EXPECT_EQ(full.status, 1);
  EXPECT_NE(full.err.find("veldrask: upload: also left out, the queue was full: " +
                          ShownPath(Root() / "x.pdf")),
            std::string::npos)
      << full.err;
  EXPECT_EQ(ParseUploadReport(full.out).files.size(), 1u);
}

TEST_F(OutcomeCliTest, NonAsciiNamesInTheKoreanCodePageEarnOneHint) {
  const auto php = StartPhpServer(store_);
  Write("보고서.txt", "x");
  const std::string hint = "veldrask: hint: non-ASCII names and values went out in CP949";
  const struct {
    std::vector<std::string> tail;
    bool hinted;
  } cases[] = {
      {{"upload", "보고서.txt", "a.txt"}, true},
      {{"upload", "--field", "제목=x", "a.txt"}, true},
      {{"upload", "--field", "title=x", "a.txt"}, false},
      {{"--param", "Charset=UTF-8", "upload", "보고서.txt"}, false},
  };
  for (const auto& c : cases) {
    const CliResult result = Upload(php->port(), "/upload.php", c.tail);
    EXPECT_EQ(result.status, 0) << result.err;
    const std::vector<std::string> lines = Lines(result.err);
    const auto hints = std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
      return line.starts_with(hint);
    });
    EXPECT_EQ(hints, c.hinted ? 1 : 0) << result.err;
  }
}

TEST_F(OutcomeCliTest, VerboseShowsBothHeadsAndOutputKeepsTheReplysBytes) {
  const std::filesystem::path records = Folder("records");
  RecordingReply reply;
  reply.body = "올렸습니다";
  reply.charset = "euc-kr";
  const auto server = StartRecordingServer(records, reply);

  const std::filesystem::path saved = Root() / "reply.bin";
  const CliResult toFile =
      Upload(server->port(), "/in", {"-v", "upload", "-o", saved.string(), "a.txt"});
  ASSERT_EQ(toFile.status, 0) << toFile.err;
  EXPECT_EQ(toFile.out, "") << "with --output nothing else reaches stdout";
  EXPECT_EQ(ReadFile(saved), Cp949("올렸습니다"));
  for (const std::string_view line :
       {"> POST /in HTTP/1.1", "> Host: 127.0.0.1", "< HTTP/1.1 200 OK",
        "< Content-Type: text/plain; charset=euc-kr"}) {
    EXPECT_NE(toFile.err.find(std::string(line) + "\n"), std::string::npos) << line << "\n"
                                                                            << toFile.err;
  }

  const CliResult raw = Upload(server->port(), "/in", {"upload", "--output", "-", "a.txt"});
  EXPECT_EQ(raw.out, Cp949("올렸습니다"));
  const CliResult decoded = Upload(server->port(), "/in", {"upload", "a.txt"});
  EXPECT_EQ(decoded.out, "올렸습니다");
  EXPECT_EQ(decoded.err.find("> POST"), std::string::npos) << "heads only with --verbose";
}

// A full disk under stdout: the reply, a text or the help lost there is a failure, said.
TEST_F(OutcomeCliTest, OutputLostOnAFullDiskIsStatusOneAndSaid) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  const std::filesystem::path records = Folder("records");
  RecordingReply reply;
  reply.body = "the reply";
  const auto server = StartRecordingServer(records, reply);
  const std::filesystem::path file = Write("a.txt", "alpha");
  const std::vector<std::vector<std::string>> cases = {
      {"encode", "가나다"},
      {"--help"},
      {"--param", "HostName=127.0.0.1", "--param", "ServerPort=" + std::to_string(server->port()),
       "--param", "ActionURL=/up", "--quiet", "upload", file.string()},
  };
  for (const std::vector<std::string>& arguments : cases) {
    std::string command = "cd '" + Root().string() + "' && HOME='" + (Root() / "home").string() +
                          "' VELDRASK_REGISTRY='" + (Root() / "registry").string() + "' exec";
    for (const std::string& word : CliCommand()) command += " '" + word + "'";
    for (const std::string& word : arguments) command += " '" + word + "'";
    command += " >/dev/full 2>'" + (Root() / "err.txt").string() + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << command;
    EXPECT_EQ(WEXITSTATUS(status), 1) << arguments.front();
    EXPECT_NE(ReadFile(Root() / "err.txt").find("veldrask: stdout: write failed"),
              std::string::npos)
        << ReadFile(Root() / "err.txt");
  }
}

}  // namespace
}  // namespace veldrask::testing
