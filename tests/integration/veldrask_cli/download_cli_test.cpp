// veldrask download against real servers: folders, numbering, overwriting, unticked rows,
// refusals and Ctrl-C.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <string>

#include "cli_test.h"
#include "support/files.h"
#include "support/hex.h"
#include "support/servers.h"

namespace veldrask::testing {
namespace {

using std::chrono_literals::operator""s;

const std::string kKoreanName = "보고서.txt";

class DownloadCliTest : public CliTest {
 protected:
  void SetUp() override {
    store_ = Folder("store");
    WriteFile(store_ / "a.txt", "alpha\n");
    WriteFile(store_ / Cp949(kKoreanName), std::string(70000, 'k') + "끝");
    WriteFile(store_ / "b.bin", std::string("\0\r\n\xff", 4));
    server_ = StartPhpServer(store_);
  }

  // NAME:SIZE as a page lists a stored file: its server path percent-encoded in CP949.
  std::string Listed(const std::string& utf8Name) const {
    const std::string stored = Cp949(utf8Name);
    return PercentEncodePath("/" + stored) + ":" +
           std::to_string(std::filesystem::file_size(store_ / stored));
  }

  CliResult Download(std::vector<std::string> tail) const {
    std::vector<std::string> arguments = {"--param", "HostName=127.0.0.1", "--param",
                                          "ServerPort=" + std::to_string(server_->port()),
                                          "download"};
    arguments.insert(arguments.end(), tail.begin(), tail.end());
    return Run(arguments);
  }

  std::filesystem::path store_;
  std::unique_ptr<ServerProcess> server_;
};

TEST_F(DownloadCliTest, ClashingNamesAreNumberedUnlessOverwriteIsTicked) {
  const std::filesystem::path out = Root() / "out";
  const std::vector<std::string> files = {Listed("a.txt"), Listed(kKoreanName)};
  std::vector<std::string> tail = {"--to", out.string()};
  tail.insert(tail.end(), files.begin(), files.end());

  const CliResult first = Download(tail);
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(ReadFile(out / "a.txt"), "alpha\n");
  EXPECT_EQ(ReadFile(out / kKoreanName), ReadFile(store_ / Cp949(kKoreanName)));
  EXPECT_EQ(Lines(first.err),
            (std::vector<std::string>{"완료  a.txt (6 Bytes)", "완료  보고서.txt (70,003 Bytes)"}));

  const CliResult second = Download(tail);
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(ReadFile(out / "a[1].txt"), "alpha\n");
  EXPECT_EQ(ReadFile(out / "보고서[1].txt"), ReadFile(store_ / Cp949(kKoreanName)));

  WriteFile(out / "a.txt", "changed locally");
  tail.insert(tail.begin(), "--overwrite");
  const CliResult overwritten = Download(tail);
  ASSERT_EQ(overwritten.status, 0) << overwritten.err;
  EXPECT_EQ(ReadFile(out / "a.txt"), "alpha\n");
  EXPECT_FALSE(std::filesystem::exists(out / "a[2].txt"));
  EXPECT_FALSE(std::filesystem::exists(out / "보고서[2].txt"));
}

TEST_F(DownloadCliTest, UntickedRowsStayOnTheServerAndTheChosenFolderIsRemembered) {
  const std::filesystem::path chosen = Folder("chosen");
  const CliResult ticked = Download({"--to", "chosen/", "--untick", "2", "--untick", "2",
                                     Listed("a.txt"), Listed("b.bin"), Listed(kKoreanName)});
  ASSERT_EQ(ticked.status, 0) << ticked.err;
  EXPECT_TRUE(std::filesystem::exists(chosen / "a.txt"));
  EXPECT_FALSE(std::filesystem::exists(chosen / "b.bin"));
  EXPECT_TRUE(std::filesystem::exists(chosen / kKoreanName));

  // No --to: the folder chosen last time, from the registry.
  const CliResult remembered = Download({Listed("b.bin")});
  ASSERT_EQ(remembered.status, 0) << remembered.err;
  EXPECT_EQ(ReadFile(chosen / "b.bin"), ReadFile(store_ / "b.bin"));
}

// A --to that is no folder is refused before the control is given it, so the folder
// remembered before stays.
TEST_F(DownloadCliTest, ABadFolderIsRefusedNamingItAndNotRemembered) {
  const std::filesystem::path chosen = Folder("chosen");
  ASSERT_EQ(Download({"--to", chosen.string(), Listed("a.txt")}).status, 0);
  const std::filesystem::path file = Write("plain.txt", "x");
  const struct {
    std::filesystem::path folder;
    std::string said;
  } cases[] = {
      {file, ": not a folder"},
      {Root() / "missing" / "sub", ": the folder cannot be made ("},
  };
  for (const auto& c : cases) {
    const CliResult refused = Download({"--to", c.folder.string(), Listed("b.bin")});
    EXPECT_EQ(refused.status, 2) << refused.err;
    EXPECT_NE(refused.err.find(ShownPath(c.folder) + c.said), std::string::npos) << refused.err;
  }
  const CliResult remembered = Download({Listed("b.bin")});
  ASSERT_EQ(remembered.status, 0) << remembered.err;
  EXPECT_EQ(ReadFile(chosen / "b.bin"), ReadFile(store_ / "b.bin"));
  EXPECT_FALSE(std::filesystem::exists(Root() / "missing"));
}

TEST_F(DownloadCliTest, RefusalsAndFailuresExitWithTheirCauseAndBadRowsWithTwo) {
  const std::filesystem::path out = Root() / "out";
  const CliResult missing = Download({"--to", out.string(), "/missing.txt:5"});
  EXPECT_EQ(missing.status, 22) << "the server's status";
  EXPECT_NE(
      missing.err.find("서버에 파일이 존재하지 않거나 에러가 발생했습니다.\n\n에러코드 : 404"),
      std::string::npos)
      << missing.err;

  const CliResult untickedAll = Download({"--to", out.string(), "--untick", "1", Listed("a.txt")});
  EXPECT_EQ(untickedAll.status, 1);
  EXPECT_NE(untickedAll.err.find("다운로드할 파일을 선택하세요."), std::string::npos);

  const CliResult noSuchRow = Download({"--to", out.string(), "--untick", "3", Listed("a.txt")});
  EXPECT_EQ(noSuchRow.status, 2);
  EXPECT_NE(noSuchRow.err.find("--untick 3: the list has 1 rows"), std::string::npos);
  EXPECT_EQ(Download({"/a.txt:99999999999"}).status, 2) << "a size beyond 32 bits";
  EXPECT_EQ(Download({"--untick", "0", Listed("a.txt")}).status, 2);
  EXPECT_EQ(Download({"-L", "--max-redirs", "0", Listed("a.txt")}).status, 2);
  EXPECT_FALSE(std::filesystem::exists(out / "a.txt"));
}

TEST_F(DownloadCliTest, KeepGoingFetchesPastARefusalAndTheHostsHeadersGoWithEveryRequest) {
  const std::filesystem::path out = Root() / "out";
  const CliResult result =
      Download({"--to", out.string(), "-v", "--keep-going", "-H", "X-Request-Id: 7", "-u",
                "김:비밀", "/missing.txt:5", Listed("a.txt")});

  EXPECT_EQ(result.status, 22) << result.err;
  EXPECT_EQ(ReadFile(out / "a.txt"), ReadFile(store_ / "a.txt"));
  EXPECT_NE(result.err.find("veldrask: download: /missing.txt: not found (404"), std::string::npos)
      << result.err;
  EXPECT_NE(result.err.find("다운로드하지 못했습니다.\n\nmissing.txt"), std::string::npos)
      << "listed with the failed files, not a message of its own: " << result.err;
  const std::string sent = "> X-Request-Id: 7\n> Authorization: Basic 6rmAOuu5hOuwgA==\n";
  const std::size_t first = result.err.find(sent);
  ASSERT_NE(first, std::string::npos) << result.err;
  EXPECT_NE(result.err.find(sent, first + 1), std::string::npos) << "both GETs carry them";
}

TEST_F(DownloadCliTest, RedirectsAreFollowedWithLocationUpToTheLimitAndTheNameStaysTheNames) {
  const auto flask = StartPythonServer("flask", store_);
  const std::string server = "http://127.0.0.1:" + std::to_string(flask->port());
  const struct {
    std::vector<std::string> options;
    std::string name;
    int status;
    std::string said;  // in stderr
  } cases[] = {
      {{"-L"}, "/moved/3/a.txt", 0, "< HTTP/1.1 301 MOVED PERMANENTLY"},
      {{}, "/moved/1/a.txt", 22, "/moved/1/a.txt: refused (302 FOUND)"},
      {{"-L", "--max-redirs", "2"},
       "/moved/9/a.txt",
       22,
       "refused (302 FOUND): stopped after 2 redirects: " + server + "/moved/9/a.txt -> " + server +
           "/moved/8/a.txt -> " + server + "/moved/7/a.txt"},
      // To /files/a.txt under another name for the server: the Host line follows the
      // Location, the file keeps the NAME's name.
      {{"-L"}, "/elsewhere/saved.txt", 0, "> Host: localhost\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::filesystem::path out = Root() / "out";
    std::filesystem::remove_all(out);
    std::vector<std::string> arguments = {"--url", server + "/", "download",
                                          "--to",  out.string(), "-v"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    arguments.push_back(c.name);

    const CliResult result = Run(arguments);

    EXPECT_EQ(result.status, c.status) << result.err;
    EXPECT_NE(result.err.find(c.said), std::string::npos) << result.err;
    const std::filesystem::path saved = out / c.name.substr(c.name.rfind('/') + 1);
    EXPECT_EQ(std::filesystem::exists(saved), c.status == 0) << saved;
    if (c.status == 0) {
      EXPECT_EQ(ReadFile(saved), "alpha\n");
    }
  }
}

TEST_F(DownloadCliTest, RetryFetchesAgainOnlyTheFilesThatMayComeOnAnotherTry) {
  const auto server = StartMisbehavingServer();
  const std::string fine = ScenarioPath("normal", 10, "fine.txt");
  const std::string cut = ScenarioPath("short-close", 1000, "cut.bin");
  const std::string gone = ScenarioPath("not-found", 10, "gone.txt");
  const std::filesystem::path out = Root() / "out";
  const CliResult result =
      Run({"--param", "HostName=127.0.0.1", "--param",
           "ServerPort=" + std::to_string(server->port()), "download", "--to", out.string(), "-v",
           "--retry", "1", "--keep-going", fine + ":10", cut + ":1000", gone + ":10"});

  EXPECT_EQ(result.status, 18) << "the first file's failure that stayed: " << result.err;
  EXPECT_NE(result.err.find("veldrask: download: did not arrive: " + cut +
                            "; trying again in 1 s (retry 1 of 1)"),
            std::string::npos)
      << result.err;
  const auto requests = [&](const std::string& path) {
    std::size_t count = 0;
    for (std::size_t at = 0; (at = result.err.find("> GET " + path + " ", at)) != std::string::npos;
         ++at) {
      ++count;
    }
    return count;
  };
  EXPECT_EQ(requests(fine), 1u) << "arrived: not asked again";
  EXPECT_EQ(requests(gone), 1u) << "a 404 comes no better a second time";
  EXPECT_EQ(requests(cut), 2u);
  EXPECT_EQ(ReadFile(out / "fine.txt").size(), 10u);
  EXPECT_FALSE(std::filesystem::exists(out / "cut.bin"));
}

TEST_F(DownloadCliTest, EveryFileThatDidNotArriveIsSaidWithWhyAndTheRestAreListedAsSkipped) {
  const auto server = StartMisbehavingServer();
  const std::filesystem::path out = Root() / "out";
  struct Row {
    std::string listed;
    std::string said;  // after "veldrask: download: " and the server path; empty: nothing
  };
  const std::vector<Row> rows = {
      {ScenarioPath("normal", 100, "first.txt") + ":90",
       "the server's Content-Length 100 differs from the SIZE 90 given; saved 100 bytes"},
      {ScenarioPath("normal", 50, "unsized.txt"), ""},
      {ScenarioPath("chunked", 3000, "chunks.txt"), ""},
      {ScenarioPath("short-close", 1000, "short.bin") + ":1000",
       "short body: the server closed after 500 of 1000 bytes"},
      // Under Wine the reset reaches the control as the server's close.
      {ScenarioPath("reset-mid-body", 1000, "reset.bin") + ":1000",
       WindowsHost() ? "short body: the server closed after 500 of 1000 bytes"
                     : "connection failed (10054:"},
      {ScenarioPath("not-found", 10, "gone.txt") + ":10", "not found (404 Not Found)"},
      {ScenarioPath("normal", 10, "after.txt") + ":10",
       "skipped: never asked for, the session had stopped"},
  };
  std::vector<std::string> arguments = {"--param",   "HostName=127.0.0.1",
                                        "--param",   "ServerPort=" + std::to_string(server->port()),
                                        "download",  "--to",
                                        out.string()};
  for (const Row& row : rows) arguments.push_back(row.listed);

  const CliResult result = Run(arguments);

  EXPECT_EQ(result.status, 18) << "the first failure's: a short body";
  if (WindowsHost()) {
    // The DLL's own message boxes say it too.
    EXPECT_NE(result.err.find("에러코드 : 404"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("다운로드하지 못했습니다.\n\nshort.bin\nreset.bin"),
              std::string::npos)
        << result.err;
  }
  for (const Row& row : rows) {
    const std::string path = row.listed.substr(0, row.listed.find(':'));
    const std::string line = "veldrask: download: " + path + ": ";
    if (row.said.empty()) {
      EXPECT_EQ(result.err.find(line), std::string::npos) << result.err;
    } else {
      EXPECT_NE(result.err.find(line + row.said), std::string::npos) << line << "\n" << result.err;
    }
  }
  EXPECT_EQ(std::filesystem::file_size(out / "first.txt"), 100u);
  EXPECT_EQ(std::filesystem::file_size(out / "unsized.txt"), 50u);
  EXPECT_NE(result.err.find("완료  unsized.txt (50 Bytes)\n"), std::string::npos)
      << "no SIZE: the server's length is the file's size";
  EXPECT_NE(result.err.find("완료  chunks.txt (3,000 Bytes)\n"), std::string::npos)
      << "no SIZE and no length: the bytes received are the file's size";
  EXPECT_FALSE(std::filesystem::exists(out / "after.txt"));
}

TEST_F(DownloadCliTest, AStalledBodyEndsAtTheSpeedTimeWithItsOwnStatus) {
  const auto server = StartMisbehavingServer();
  const std::filesystem::path out = Root() / "out";
  const CliResult result =
      Run({"--speed-time", "0.5", "--param", "HostName=127.0.0.1", "--param",
           "ServerPort=" + std::to_string(server->port()), "download", "--to", out.string(),
           ScenarioPath("stall-body", 100000, "stalled.bin") + ":100000",
           ScenarioPath("normal", 10, "next.txt") + ":10"});

  EXPECT_EQ(result.status, 28) << result.err;
  EXPECT_NE(result.err.find("veldrask: stopped by --speed-time: no byte moved for 0.5 s"),
            std::string::npos)
      << result.err;
  EXPECT_NE(result.err.find("next.txt: skipped"), std::string::npos) << result.err;
  EXPECT_FALSE(std::filesystem::exists(out / "stalled.bin")) << "the unfinished file is removed";
}

TEST_F(DownloadCliTest, WithCharsetUtf8ServerNamesAreDecodedAsUtf8) {
  const std::filesystem::path flaskStore = Folder("flask");
  WriteFile(flaskStore / kKoreanName, "보고서 내용");
  const auto flask = StartPythonServer("flask", flaskStore);
  const std::string listed = "/files/" + PercentEncodePath(kKoreanName);
  const std::filesystem::path out = Root() / "out";
  auto download = [&](std::vector<std::string> params) {
    std::vector<std::string> arguments = {"--param", "HostName=127.0.0.1", "--param",
                                          "ServerPort=" + std::to_string(flask->port())};
    arguments.insert(arguments.end(), params.begin(), params.end());
    arguments.insert(arguments.end(), {"download", "--to", out.string(), listed});
    return Run(arguments);
  };

  for (const std::string_view saved : {"보고서.txt", "보고서[1].txt"}) {
    const CliResult result = download({"--param", "Charset=UTF-8"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadFile(out / saved), "보고서 내용");
  }
  // Read in the Korean code page the name cannot be decoded; the saved one keeps .txt.
  const CliResult legacy = download({});
  ASSERT_EQ(legacy.status, 0) << legacy.err;
  EXPECT_EQ(ReadFile(out / "download.txt"), "보고서 내용");
  EXPECT_NE(legacy.err.find(": saved as download.txt: its name's escapes are no characters of "
                            "CP949; if the server's names are UTF-8, add --param Charset=UTF-8"),
            std::string::npos)
      << legacy.err;
}

// A NAME typed with Korean characters goes out as a browser writes the link: percent-encoded
// in the request's code page.
TEST_F(DownloadCliTest, KoreanCharactersInANameArePercentEncodedInTheRequestsCodePage) {
  const std::filesystem::path flaskStore = Folder("flask");
  WriteFile(flaskStore / kKoreanName, "utf-8");
  const auto flask = StartPythonServer("flask", flaskStore);
  const std::filesystem::path out = Root() / "out";
  const struct {
    int port;
    std::vector<std::string> options;
    std::string saved;
  } cases[] = {
      {server_->port(), {}, ReadFile(store_ / Cp949(kKoreanName))},
      {flask->port(), {"--param", "Charset=UTF-8"}, "utf-8"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(out);
    std::vector<std::string> arguments = {"-v", "--param", "HostName=127.0.0.1", "--param",
                                          "ServerPort=" + std::to_string(c.port)};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    const std::string name = c.options.empty() ? "/" + kKoreanName : "/files/" + kKoreanName;
    arguments.insert(arguments.end(), {"download", "--to", out.string(), name});

    const CliResult result = Run(arguments);

    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadFile(out / kKoreanName), c.saved);
    const std::string sent = c.options.empty() ? PercentEncodePath("/" + Cp949(kKoreanName))
                                               : "/files/" + PercentEncodePath(kKoreanName);
    EXPECT_NE(result.err.find("> GET " + sent + " HTTP/1.1"), std::string::npos) << result.err;
  }
}

TEST_F(DownloadCliTest, CtrlCClosesTheDownloadWindowAndExits130) {
  const auto stalling = StartMisbehavingServer();
  const std::filesystem::path out = Root() / "out";
  const auto process = Start({"--param", "HostName=127.0.0.1", "--param",
                              "ServerPort=" + std::to_string(stalling->port()), "download", "--to",
                              out.string(), ScenarioPath("normal", 100, "first.txt") + ":100",
                              ScenarioPath("stall-body", 100000, "second.bin") + ":100000"});

  // The first file is reported once the second one has started, and that one then stalls.
  ASSERT_TRUE(process->WaitForStderr("완료  first.txt (100 Bytes)\n", 30s));
  process->Signal(SIGINT);
  const CliResult result = process->Finish(30s);

  EXPECT_EQ(result.status, 130) << result.err;
  EXPECT_EQ(std::filesystem::file_size(out / "first.txt"), 100u);
  EXPECT_FALSE(std::filesystem::exists(out / "second.bin")) << "the unfinished file is removed";
}

}  // namespace
}  // namespace veldrask::testing
