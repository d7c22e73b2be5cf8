// veldrask against servers written to misbehave (endless replies, endless interim heads,
// escapes where text is expected) and against hard stops in the middle of a download.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "cli_test.h"
#include "posix/iconv_code_page.h"
#include "support/deterministic_bytes.h"
#include "support/files.h"
#include "support/servers.h"

namespace veldrask::testing {
namespace {

using std::chrono_literals::operator""s;

constexpr std::size_t kReplyLimit = std::size_t{16} << 20;

class HostileServerCliTest : public CliTest {
 protected:
  void SetUp() override { server_ = StartMisbehavingServer(); }

  std::vector<std::string> Params() const {
    return {"--param", "HostName=127.0.0.1", "--param",
            "ServerPort=" + std::to_string(server_->port())};
  }

  CliResult Upload(std::string_view scenario) const {
    std::vector<std::string> arguments = Params();
    arguments.insert(arguments.end(), {"--param", "ActionURL=" + ScenarioPath(scenario, 0, "up"),
                                       "upload", Write("a.txt", "alpha\n").string()});
    return Run(arguments);
  }

  std::vector<std::string> DownloadArguments(const std::filesystem::path& folder,
                                             const std::vector<std::string>& rows) const {
    std::vector<std::string> arguments = Params();
    arguments.insert(arguments.end(), {"download", "--to", folder.string()});
    arguments.insert(arguments.end(), rows.begin(), rows.end());
    return arguments;
  }

  CliResult Download(const std::filesystem::path& folder, std::vector<std::string> rows) const {
    return Run(DownloadArguments(folder, rows));
  }

  std::unique_ptr<ServerProcess> server_;
};

TEST_F(HostileServerCliTest, AnEndlessUploadReplyIsCutAtItsLimitAndSaidSo) {
  // The reply declares no charset: the page gets its first 16 MiB read as CP949.
  const std::string kept =
      posix::IconvCodePage("CP949").Decode(DeterministicBytes("up", 0, kReplyLimit));
  for (const char* scenario : {"endless", "endless-no-length"}) {
    const CliResult result = Upload(scenario);
    EXPECT_EQ(result.status, 1) << scenario << result.err;
    EXPECT_FALSE(result.timedOut) << scenario;
    if (WindowsHost()) {
      // Random bytes decode by the system's table for code page 949, whose undefined pairs
      // differ from iconv's: the cut is checked through the control's message alone.
      EXPECT_FALSE(result.out.empty()) << scenario;
    } else {
      EXPECT_TRUE(result.out == kept) << scenario << ": " << result.out.size() << " bytes";
    }
    EXPECT_NE(result.err.find("서버의 응답이 16MB를 넘어 앞부분만 받았습니다."), std::string::npos)
        << scenario << result.err;
  }
}

TEST_F(HostileServerCliTest, EndlessInterimHeadsFailTheExchange) {
  const CliResult upload = Upload("interim-flood");
  EXPECT_EQ(upload.status, 1) << upload.err;
  EXPECT_NE(upload.err.find("중간 응답(1xx)"), std::string::npos) << upload.err;

  const std::filesystem::path out = Folder("out");
  const CliResult download = Download(out, {ScenarioPath("interim-flood", 10, "x.bin") + ":10"});
  EXPECT_EQ(download.status, 8) << download.err;
  EXPECT_NE(download.err.find("x.bin"), std::string::npos) << download.err;
  EXPECT_TRUE(std::filesystem::is_empty(out));
}

TEST_F(HostileServerCliTest, EscapesFromTheServerNeverReachTheTerminal) {
  const std::filesystem::path out = Folder("out");
  const CliResult status = Download(out, {ScenarioPath("escape-status", 10, "x.bin") + ":10"});
  EXPECT_EQ(status.status, 22);
  EXPECT_NE(status.err.find("에러코드 : \uFFFD]0;PWNED\uFFFD\uFFFD[2J"), std::string::npos)
      << status.err;
  EXPECT_EQ(status.err.find('\x1b'), std::string::npos);

  // The heads shown by --verbose: the status line and the field values as the server sent
  // them, with every control character replaced.
  std::vector<std::string> verbose =
      DownloadArguments(out, {ScenarioPath("escape-status", 10, "v.bin") + ":10"});
  verbose.insert(verbose.begin(), "--verbose");
  const CliResult heads = Run(verbose);
  for (const char* line :
       {"< HTTP/1.1 \uFFFD]0;PWNED\uFFFD\uFFFD[2J OK\n", "< X-Title: \uFFFD[31mred\uFFFD0m\n"}) {
    EXPECT_NE(heads.err.find(line), std::string::npos) << line << heads.err;
  }
  EXPECT_EQ(heads.err.find('\x1b'), std::string::npos);

  const CliResult name =
      Download(out, {ScenarioPath("normal", 10, "\x1b]0;PWNED\x07\x1b[2J.txt") + ":10"});
  EXPECT_EQ(name.status, 0) << name.err;
  EXPECT_EQ(name.err.find('\x1b'), std::string::npos);
  EXPECT_EQ(ReadFile(out / "_]0;PWNED__[2J.txt").size(), 10u);
}

bool IsTemporary(const std::string& name) {
  return name.starts_with("VELDRASKUPDN.");
}

// Every file in folder but the temporary ones is complete: the content of its name, less any
// number, of size bytes. Returns how many temporary files there are.
std::size_t ExpectOnlyCompleteFiles(const std::filesystem::path& folder, std::size_t size) {
  std::size_t temporaries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::string name = entry.path().filename().string();
    if (IsTemporary(name)) {
      ++temporaries;
      continue;
    }
    if (const std::size_t open = name.find('['); open != std::string::npos) {
      name.erase(open, name.find(']') + 1 - open);
    }
    EXPECT_EQ(ReadFile(entry.path()), DeterministicBytes(name, 0, size)) << entry.path();
  }
  return temporaries;
}

TEST_F(HostileServerCliTest, KillsAtAnyMomentLeaveOnlyCompleteFilesUnderTheirNames) {
  constexpr std::size_t kSize = 40000;  // ten pieces, 50 ms apart
  std::vector<std::string> rows;
  for (const char* name : {"k1.bin", "k2.bin", "k3.bin"}) {
    rows.push_back(ScenarioPath("slow", kSize, name) + ":" + std::to_string(kSize));
  }
  const std::filesystem::path out = Folder("out");
  std::mt19937 moments(15);  // the same moments on every run
  for (int round = 0; round < 6; ++round) {
    const auto process = Start(DownloadArguments(out, rows));
    std::this_thread::sleep_for(std::chrono::milliseconds(moments() % 1700));
    process->Signal(SIGKILL);
    EXPECT_EQ(process->Finish(30s).status, 128 + SIGKILL);
    ExpectOnlyCompleteFiles(out, kSize);
  }
  const CliResult last = Download(out, rows);
  EXPECT_EQ(last.status, 0) << last.err;
  EXPECT_EQ(ExpectOnlyCompleteFiles(out, kSize), 0u) << "the killed runs' temporaries are gone";
  EXPECT_TRUE(std::filesystem::exists(out / "k3.bin"));
}

TEST_F(HostileServerCliTest, TermAndHangUpCloseTheWindowAsTheUserWould) {
  for (const auto& [signal, status] : {std::pair{SIGTERM, 143}, std::pair{SIGHUP, 129}}) {
    const std::filesystem::path out = Folder("out" + std::to_string(signal));
    const auto process = Start(
        DownloadArguments(out, {ScenarioPath("normal", 100, "first.txt") + ":100",
                                ScenarioPath("stall-body", 100000, "second.bin") + ":100000"}));
    ASSERT_TRUE(process->WaitForStderr("완료  first.txt (100 Bytes)\n", 30s));
    process->Signal(signal);
    const CliResult result = process->Finish(30s);

    EXPECT_EQ(result.status, status) << result.err;
    EXPECT_EQ(ReadFile(out / "first.txt"), DeterministicBytes("first.txt", 0, 100));
    // On Windows the signal ends the program as the system ends it: the unfinished file may be
    // left as the control's temporary (when it was made before the end), which its next
    // session removes.
    EXPECT_LE(ExpectOnlyCompleteFiles(out, 100), WindowsHost() ? 1u : 0u);
    EXPECT_FALSE(std::filesystem::exists(out / "second.bin"));
  }
}

TEST_F(HostileServerCliTest, ANameTheCodePageCannotWriteIsRefusedOrSentAsUtf8) {
  const std::string row = "/scenario/normal/5/😀.txt:5";
  const std::filesystem::path refused = Folder("refused");
  const CliResult ansi = Download(refused, {row});
  EXPECT_EQ(ansi.status, 1);
  EXPECT_NE(ansi.err.find("Charset을 UTF-8로"), std::string::npos) << ansi.err;
  EXPECT_TRUE(std::filesystem::is_empty(refused));

  const std::filesystem::path sent = Folder("sent");
  std::vector<std::string> arguments = Params();
  arguments.insert(arguments.end(), {"--param", "Charset=UTF-8"});
  const std::vector<std::string> tail = DownloadArguments(sent, {row});
  arguments.insert(arguments.end(), tail.begin() + 4, tail.end());
  const CliResult utf8 = Run(arguments);
  EXPECT_EQ(utf8.status, 0) << utf8.err;
  EXPECT_EQ(ReadFile(sent / "😀.txt"), DeterministicBytes("😀.txt", 0, 5));
}

}  // namespace
}  // namespace veldrask::testing
