// veldrask upload against real servers: what reaches the server, what the user sees, and the
// exit status.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli_test.h"
#include "late_listener.h"
#include "support/files.h"
#include "support/hex.h"
#include "support/servers.h"
#include "support/sha256.h"
#include "support/upload_report.h"

namespace veldrask::testing {
namespace {

using Params = std::vector<std::pair<std::string, std::string>>;

const std::string kKoreanName = "보고서.txt";

class UploadCliTest : public CliTest {
 protected:
  void SetUp() override {
    files_ = Folder("files");
    Write("files/a.txt", "alpha\n");
    Write("files/" + kKoreanName, "보고서 내용: 1,2,3\r\n");
    store_ = Folder("store");
  }

  std::vector<std::string> ServerParams(const ServerProcess& server) const {
    return {"--param", "HostName=127.0.0.1",
            "--param", "ServerPort=" + std::to_string(server.port()),
            "--param", "ActionURL=/upload.php"};
  }

  std::filesystem::path files_;
  std::filesystem::path store_;
};

TEST_F(UploadCliTest, EucKrPageFieldsAndKoreanNamesReachPhpAndTheReplyIsStdoutExactly) {
  const auto server = StartPhpServer(store_);
  const std::filesystem::path page = WritePage("upload.html",
                                               {{"MainTitle", "자료실"},
                                                {"HostName", "127.0.0.1"},
                                                {"ActionURL", "/upload.php"},
                                                {"ReturnURL", "/list.html?a=1&amp;b=2"},
                                                {"MaxFileCount", "5"},
                                                {"MaxFileSize", "10"}},
                                               "EUC-KR");

  const CliResult result =
      RunIn(files_, {"--page", page.string(), "--param",
                     "ServerPort=" + std::to_string(server->port()), "upload", "--field",
                     "title=안녕하세요", "--field", "kind=report", "a.txt", kKoreanName});

  ASSERT_EQ(result.status, 0) << result.err;
  const UploadReport report = ParseUploadReport(result.out);
  ASSERT_EQ(result.out.back(), '}') << "nothing may follow the reply";
  ASSERT_NE(report.FindField("title"), nullptr);
  EXPECT_EQ(report.FindField("title")->value, Cp949("안녕하세요"));
  EXPECT_EQ(report.FindField("kind")->value, "report");
  ASSERT_EQ(report.files.size(), 2u);
  EXPECT_EQ(report.files[0].filename, "a.txt");
  EXPECT_EQ(report.files[1].filename, Cp949(kKoreanName));
  EXPECT_EQ(FileSha256(store_ / "a.txt"), FileSha256(files_ / "a.txt"));
  EXPECT_EQ(FileSha256(store_ / Cp949(kKoreanName)), FileSha256(files_ / kKoreanName));

  // One line per finished file, then where the page would go (the entity decoded).
  const std::string koreanSize = std::to_string(std::filesystem::file_size(files_ / kKoreanName));
  EXPECT_EQ(Lines(result.err),
            (std::vector<std::string>{
                "완료  " + ShownPath(files_ / "a.txt") + " (6 Bytes)",
                "완료  " + ShownPath(files_ / kKoreanName) + " (" + koreanSize + " Bytes)",
                "location: http://127.0.0.1/list.html?a=1&b=2",
                "veldrask: hint: non-ASCII names and values went out in CP949 and the server "
                "answers in UTF-8; if they arrived garbled, add --param Charset=UTF-8"}));
}

TEST_F(UploadCliTest, CookieHeadersAndFieldsOnTheWireAndAKoreanReplyDecodedByItsCharset) {
  const std::filesystem::path records = Folder("records");
  RecordingReply reply;
  reply.body = "올렸습니다";
  reply.charset = "euc-kr";
  const auto server = StartRecordingServer(records, reply);
  std::vector<std::string> arguments = ServerParams(*server);
  arguments.insert(arguments.end(), {"--param", "MaxFileCount=3", "--cookie", "sid=42; lang=ko",
                                     "--quiet", "-H", "X-Request-Id: 7", "upload", "-u", "kim:pw 1",
                                     "--field", "note=a&b c", (files_ / "a.txt").string()});

  const CliResult result = Run(arguments);

  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "올렸습니다");
  EXPECT_EQ(result.err, "") << "--quiet prints no progress and no location";
  const std::string request = WaitForRecordedConnection(records, 1);
  EXPECT_NE(request.find("\r\nCookie: sid=42; lang=ko\r\nX-Request-Id: 7\r\n"
                         "Authorization: Basic a2ltOnB3IDE=\r\nContent-Length: "),
            std::string::npos)
      << request;
  EXPECT_NE(request.find("name=\"note\"\r\n\r\na&b c\r\n"), std::string::npos) << request;
  EXPECT_NE(request.find("alpha\n"), std::string::npos);
}

TEST_F(UploadCliTest, BufferSizeBelowOneSendsAFormAloneAndRefusesFilesBeforeSending) {
  const std::filesystem::path records = Folder("records");
  const auto server = StartRecordingServer(records);
  const struct {
    std::string bufferSize;
    std::vector<std::string> files;
    int status;
  } cases[] = {
      {"0", {}, 0},
      {"-5", {}, 0},
      {"0", {"files/a.txt"}, 1},
  };
  int connections = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE("BufferSize=" + c.bufferSize + (c.files.empty() ? ", fields alone" : ", a file"));
    std::vector<std::string> arguments = ServerParams(*server);
    arguments.insert(arguments.end(), {"--param", "BufferSize=" + c.bufferSize, "--quiet", "upload",
                                       "--field", "title=form only"});
    arguments.insert(arguments.end(), c.files.begin(), c.files.end());

    const CliResult result = Run(arguments);

    EXPECT_EQ(result.status, c.status) << result.err;
    if (c.status != 0) {
      EXPECT_NE(result.err.find("[5] BufferSize"), std::string::npos) << result.err;
      EXPECT_EQ(result.out, "");
      continue;
    }
    EXPECT_EQ(result.out, "done");
    const std::string request = WaitForRecordedConnection(records, ++connections);
    EXPECT_NE(request.find("name=\"title\"\r\n\r\nform only\r\n"), std::string::npos) << request;
  }
  EXPECT_FALSE(
      std::filesystem::exists(records / ("connection-" + std::to_string(connections + 1) + ".bin")))
      << "the refused upload sends nothing";
}

TEST_F(UploadCliTest, FilesFromSeveralFoldersAreOneSelectionAndServerRowsAreListed) {
  const auto server = StartPhpServer(store_);
  Write("files/sub/b.txt", "beta");
  std::vector<std::string> arguments = ServerParams(*server);
  arguments.insert(arguments.end(), {"--param", "MaxFileCount=5", "upload", "--uploaded",
                                     "old%20file.txt:100", "files/sub/b.txt", "files/a.txt"});

  const CliResult result = Run(arguments);

  ASSERT_EQ(result.status, 0) << result.err;
  const UploadReport report = ParseUploadReport(result.out);
  ASSERT_EQ(report.files.size(), 2u) << "the server row is not sent again";
  EXPECT_EQ(report.files[0].filename, "b.txt");
  EXPECT_EQ(report.files[1].filename, "a.txt");
  EXPECT_EQ(ReadFile(store_ / "b.txt"), "beta");
}

// A row's kind comes from what made it: a local path holding "<", the mark of a server row
// in the page's lists, is still a file to send.
TEST_F(UploadCliTest, ALocalPathHoldingALessThanSignIsSentBesideServerRows) {
  if (WindowsHost()) GTEST_SKIP() << "a Windows path cannot hold \"<\"";
  const auto server = StartPhpServer(store_);
  Write("files/x<y/r.txt", "in a folder with <");
  std::vector<std::string> arguments = ServerParams(*server);
  arguments.insert(arguments.end(),
                   {"--param", "MaxFileCount=5", "upload", "--uploaded", "old.txt:10",
                    (files_ / "x<y" / "r.txt").string(), (files_ / "a.txt").string()});

  const CliResult result = Run(arguments);

  ASSERT_EQ(result.status, 0) << result.err;
  const UploadReport report = ParseUploadReport(result.out);
  ASSERT_EQ(report.files.size(), 2u) << result.out;
  EXPECT_EQ(report.files[0].filename, "r.txt");
  EXPECT_EQ(ReadFile(store_ / "r.txt"), "in a folder with <");
  EXPECT_NE(result.err.find("완료  " + (files_ / "x<y" / "r.txt").string()), std::string::npos)
      << result.err;
}

// Half a page would lose what follows the fault, such as the excluded extensions.
TEST_F(UploadCliTest, APageThatCannotBeReadWholeSendsNothing) {
  const std::filesystem::path records = Folder("records");
  const auto server = StartRecordingServer(records, RecordingReply{});
  const std::filesystem::path page =
      Write("bad.html",
            "<meta charset=euc-kr><object>\n<param name=MainTitle value=\"\xff\xfe\">\n"
            "<param name=ExcludeFileExtension value=\"exe|sh\"></object>");
  Write("files/tool.exe", "MZ");
  std::vector<std::string> arguments = ServerParams(*server);
  arguments.insert(arguments.begin(), {"--page", page.string()});
  arguments.insert(arguments.end(), {"upload", (files_ / "tool.exe").string()});

  const CliResult result = Run(arguments);

  EXPECT_EQ(result.status, 2) << result.err;
  EXPECT_NE(result.err.find(": line 2: bytes that are not euc-kr"), std::string::npos)
      << result.err;
  EXPECT_TRUE(std::filesystem::is_empty(records)) << "nothing may reach the server";
}

TEST_F(UploadCliTest, OnATerminalTheProgressWindowIsDrawnInPlaceAndItsFinishedRowsStay) {
  const auto server = StartPhpServer(store_);
  Write("files/big.bin", std::string(300000, 'x'));
  std::vector<std::string> arguments = ServerParams(*server);
  arguments.insert(arguments.end(), {"--param", "MaxFileCount=5", "--param", "BufferSize=4096",
                                     "upload", "files/a.txt", "files/big.bin"});

  const CliResult result = Start(arguments, ErrorOutput::kTerminal)->Finish(kRunLimit);

  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(ParseUploadReport(result.out).files.size(), 2u);
  const std::string& screen = result.err;
  if (WindowsHost()) {
    // The control's own window shows the progress; the console gets its finished rows.
    EXPECT_EQ(screen.find('\x1b'), std::string::npos) << screen;
    EXPECT_NE(screen.find("완료  " + ShownPath(files_ / "big.bin") + " (300,000 Bytes)"),
              std::string::npos)
        << screen;
    return;
  }
  EXPECT_TRUE(screen.starts_with("업로드 진행상황\r\n")) << screen;
  // The first row is printed above a block that a later drawing overwrites in place.
  const std::size_t firstRow = screen.find("완료  " + (files_ / "a.txt").string() + " (6 Bytes)");
  const std::size_t redraw = screen.find("\r\x1b[6A");
  ASSERT_NE(firstRow, std::string::npos) << screen;
  ASSERT_NE(redraw, std::string::npos) << screen;
  EXPECT_LT(firstRow, redraw);

  // The last block stays, complete, with the second row above it and the location after it.
  const std::string last = screen.substr(screen.rfind("\r\x1b[6A"));
  EXPECT_NE(last.find("완료  " + (files_ / "big.bin").string() + " (300,000 Bytes)"),
            std::string::npos)
      << last;
  EXPECT_NE(last.find("현재 파일 : big.bin"), std::string::npos) << last;
  EXPECT_NE(last.find("전체 파일 : 2 / 2 개"), std::string::npos) << last;
  EXPECT_NE(last.find("전송 용량 : 300,006 / 300,006 Bytes (100 %)"), std::string::npos) << last;
  EXPECT_NE(last.find("[" + std::string(60, '#') + "]"), std::string::npos) << last;
  EXPECT_TRUE(last.ends_with("\x1b[Jlocation: http://127.0.0.1\r\n")) << last;
}

TEST_F(UploadCliTest, NoColorAndADumbTerminalGetNoCursorMovement) {
  const auto server = StartPhpServer(store_);
  std::vector<std::string> arguments = ServerParams(*server);
  arguments.insert(arguments.end(), {"upload", "files/a.txt"});
  for (const char* environment : {"NO_COLOR=1", "TERM=dumb"}) {
    const CliResult result =
        Start(arguments, ErrorOutput::kTerminal, {environment})->Finish(kRunLimit);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err.find('\x1b'), std::string::npos) << environment << "\n" << result.err;
    EXPECT_NE(result.err.find("완료  "), std::string::npos) << "finished rows are still said";
  }
}

// A refusal by the page's limits sends nothing and says what would take every file, unless
// --send-accepted asks for the rest; files are given by URL as well.
TEST_F(UploadCliTest, ARefusedFileSendsNothingUnlessTheAcceptedOnesAreAskedFor) {
  const auto server = StartPhpServer(store_);
  Write("files/tool.exe", "MZ");
  Write("files/big.bin", std::string(1536 * 1024, 'b'));
  const std::string url =
      "--url=http://127.0.0.1:" + std::to_string(server->port()) + "/upload.php";
  const std::string korean = ShownPath(files_ / kKoreanName);
  const struct {
    std::vector<std::string> arguments;  // after upload
    std::size_t sent;                    // files that reached the server
    std::string said;
  } cases[] = {
      {{"--param=MaxFileCount=1", "files/a.txt", "files/" + kKoreanName},
       0,
       "veldrask: upload: not queued, so nothing was sent: " + korean +
           "\nveldrask: upload: to send them all: --param MaxFileCount=2 (or --send-accepted"},
      {{"--send-accepted", "--param=MaxFileCount=1", "files/a.txt", "files/" + kKoreanName},
       1,
       "최대 업로드 가능 파일 갯수는 1개 입니다."},
      {{"--param=MaxFileCount=5", "--param=ExcludeFileExtension=bat|EXE", "files/tool.exe",
        "files/a.txt"},
       0,
       "to send them all: --param ExcludeFileExtension=bat (or"},
      {{"--send-accepted", "--param=ExcludeFileExtension=EXE", "files/tool.exe"},
       0,
       "veldrask: upload: no file was accepted; nothing was sent"},
      {{"--param=MaxFileCount=3", "--param=UnitFileSize=1", "files/a.txt", "files/big.bin"},
       0,
       "to send them all: --param MaxFileSize=2 --param UnitFileSize=2 (or"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    std::filesystem::remove_all(store_);
    std::filesystem::create_directories(store_);
    std::vector<std::string> arguments = {url, "upload"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());

    const CliResult result = Run(arguments);

    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_NE(result.err.find(c.said), std::string::npos) << result.err;
    if (c.sent == 0) {
      EXPECT_EQ(result.out, "") << "no request went out, so no reply came";
      EXPECT_TRUE(std::filesystem::is_empty(store_));
    } else {
      EXPECT_EQ(ParseUploadReport(result.out).files.size(), c.sent);
    }
  }
}

TEST_F(UploadCliTest, AServerThatCannotBeReachedGivesTheControlsMessageAndStatusSeven) {
  // A port that a finished server held: nothing listens there any more.
  int port = 0;
  {
    const auto server = StartPhpServer(store_);
    port = server->port();
  }
  const CliResult result =
      Run({"--param", "HostName=127.0.0.1", "--param", "ServerPort=" + std::to_string(port),
           "--param", "ActionURL=/upload.php", "upload", (files_ / "a.txt").string()});

  EXPECT_EQ(result.status, 7);
  EXPECT_NE(result.err.find("10061:"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find(" (connection refused)\n"), std::string::npos) << result.err;
  EXPECT_EQ(result.out, "");
}

TEST_F(UploadCliTest, RetryTriesARefusedConnectionAgainUntilTheServerIsUp) {
  LateListener server;
  const std::unique_ptr<CliProcess> process = Start(
      {"--param", "HostName=127.0.0.1", "--param", "ServerPort=" + std::to_string(server.Port()),
       "--param", "ActionURL=/upload.php", "--retry", "3", "upload", (files_ / "a.txt").string()});
  // The first try is refused; the retry comes a second after it is said.
  ASSERT_TRUE(process->WaitForStderr("(retry 1 of 3)", std::chrono::seconds(30)));
  server.Listen();
  const std::string request =
      server.Answer("HTTP/1.1 200 OK\r\nContent-Length: 5\r\nConnection: close\r\n\r\nstood");
  const CliResult result = process->Finish(std::chrono::seconds(30));

  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "stood");
  EXPECT_NE(result.err.find("10061:"), std::string::npos) << "the refusal is said" << result.err;
  EXPECT_NE(result.err.find("veldrask: upload: the connection failed before anything was sent; "
                            "trying again in 1 s (retry 1 of 3)"),
            std::string::npos)
      << result.err;
  EXPECT_NE(request.find("\r\n\r\nalpha\n\r\n--"), std::string::npos) << request;
}

TEST_F(UploadCliTest, BadInputSendsNothingAndExitsTwo) {
  const std::filesystem::path records = Folder("records");
  const auto server = StartRecordingServer(records);
  const std::vector<std::string> params = ServerParams(*server);
  auto run = [&](std::vector<std::string> tail) {
    std::vector<std::string> arguments = params;
    arguments.insert(arguments.end(), tail.begin(), tail.end());
    return Run(arguments);
  };

  const CliResult missing = run({"upload", "files/a.txt", "files/missing.txt"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("files/missing.txt: no such file"), std::string::npos) << missing.err;
  const CliResult folder = run({"upload", "files"});
  EXPECT_EQ(folder.status, 2);
  EXPECT_NE(folder.err.find("not a plain file"), std::string::npos);
  EXPECT_EQ(run({"upload", "--field", "novalue", "files/a.txt"}).status, 2);
  EXPECT_EQ(run({"upload", "--uploaded", "name:lots", "files/a.txt"}).status, 2);
  EXPECT_EQ(run({"upload", "--param", "MaxFileCount=many", "files/a.txt"}).status, 2);
  const CliResult noObject =
      run({"--page", Write("plain.html", "<p>no control</p>").string(), "upload", "files/a.txt"});
  EXPECT_EQ(noObject.status, 2);
  EXPECT_NE(noObject.err.find("no <object> element"), std::string::npos);
  EXPECT_EQ(run({"--page", (Root() / "absent.html").string(), "upload", "files/a.txt"}).status, 2);
  const struct {
    std::vector<std::string> tail;
    std::string_view said;
  } named[] = {
      {{"--param", "MaxFileCont=3", "upload", "files/a.txt"},
       "--param MaxFileCont: the control has no parameter of that name"},
      {{"--param", "MaxFileCount=many", "upload", "files/a.txt"},
       "the page's parameters: MaxFileCount='many': [13]"},
      {{"--param", "ServerPort=40000", "upload", "files/a.txt"},
       "(the control's ServerPort is a 16-bit signed number: ports 1 to 32767)"},
      {{"--cacert", (Root() / "absent.pem").string(), "upload", "files/a.txt"}, "absent.pem"},
      {{"--connect-timeout", "0", "upload", "files/a.txt"},
       "--connect-timeout: '0' is not a number of seconds above 0"},
      {{"upload", "-o", "", "files/a.txt"}, "-o: an empty file name"},
      {{"upload", "http://127.0.0.1/up.php", "files/a.txt"},
       "'http://127.0.0.1/up.php' is a URL: give the server with --url URL"},
      {{"--param", "ActionURL=upload.php", "upload", "files/a.txt"},
       "ActionURL 'upload.php' must start with \"/\": use --param ActionURL=/upload.php"},
      {{"--param", "HostName=", "upload", "files/a.txt"}, "no server: give --url URL"},
      {{"--url", "http://127.0.0.1/x", "upload", "files/a.txt"},
       "--url sets HostName: drop --param HostName"},
      {{"upload", "-Z", "files/a.txt"}, "upload: unknown option -Z"},
      {{"-H", "X-Note", "upload", "files/a.txt"}, "-H 'X-Note': not a 'Name: value' header"},
      {{"-H", "X-A: 1\r\nX-B: 2", "upload", "files/a.txt"}, "neither line breaks"},
      {{"-H", "X Note: 1", "upload", "files/a.txt"}, "the name holds ' '"},
      {{"upload", "-H", "content-length: 5", "files/a.txt"}, "writes Content-Length itself"},
      {{"upload", "--header=Content-Type: text/plain", "files/a.txt"}, "the form's boundary"},
      {{"-u", "kim", "upload", "files/a.txt"}, "-u: give NAME:PASSWORD"},
      {{"--retry", "-1", "upload", "files/a.txt"}, "--retry: a count from 0 to 10"},
  };
  for (const auto& c : named) {
    const CliResult result = run(c.tail);
    EXPECT_EQ(result.status, 2) << result.err;
    EXPECT_NE(result.err.find(c.said), std::string::npos) << result.err;
  }

  EXPECT_FALSE(std::filesystem::exists(records / "connection-1.bin"))
      << "nothing may reach the server";
}

}  // namespace
}  // namespace veldrask::testing
