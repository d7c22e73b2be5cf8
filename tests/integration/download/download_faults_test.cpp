// A session against a server that misbehaves per file: complete files only, whatever happens.

#include <gtest/gtest.h>

#include <map>

#include "download_server_fixture.h"
#include "support/deterministic_bytes.h"
#include "support/files.h"
#include "support/servers.h"

namespace veldrask::testing {
namespace {

constexpr std::string_view kFailedList = "다음 파일은 다운로드하지 못했습니다.\r\n\r\n";

struct ScenarioFile {
  std::string scenario;
  std::uint64_t size;
  bool arrives;
};

constexpr std::string_view kOverTheLimit =
    "over 2147483647 bytes, the largest size the control's 32-bit signed counts hold";

class DownloadFromMisbehavingServer : public DownloadServerTest {
 protected:
  // Lists one file per scenario, named after it.
  void AddAll(const std::vector<ScenarioFile>& files) {
    for (const ScenarioFile& file : files) {
      owner.Add(ScenarioPath(file.scenario, file.size, Name(file)), Name(file),
                static_cast<std::int32_t>(file.size));
    }
  }
  static std::string Name(const ScenarioFile& file) { return file.scenario + ".bin"; }

  void ExpectCompleteFile(const std::string& name, std::uint64_t size) {
    ASSERT_TRUE(std::filesystem::exists(Folder() / name)) << name;
    EXPECT_EQ(ReadFile(Folder() / name), DeterministicBytes(name, 0, size)) << name;
  }
};

TEST_F(DownloadFromMisbehavingServer, OnlyCompleteFilesStayAndTheFailuresAreListedOnce) {
  const std::vector<ScenarioFile> files = {
      {"normal", 70000, true},          {"no-reason", 1000, true},
      {"mixed-case", 1000, true},       {"length-last", 1000, true},
      {"chunked", 80000, true},         {"chunked-trailer", 5000, true},
      {"split-head", 3000, true},       {"slow", 20000, true},
      {"no-length", 9000, true},        {"extra-bytes", 2000, true},
      {"keep-alive", 4000, true},       {"short-close", 10000, false},
      {"reset-mid-body", 10000, false}, {"negative-length", 100, false},
      {"enormous-length", 100, false},  {"chunk-overflow", 100, false},
      {"huge-head", 100, false},        {"endless", 100, false},
  };
  // What the host is told of the unreadable ones.
  const std::map<std::string, std::string> details = {
      {"negative-length", "invalid Content-Length"},
      {"enormous-length", "invalid Content-Length"},
      {"chunk-overflow", "chunk size too large"},
      {"huge-head", "response head too large"},
      {"endless", "Content-Length 1099511627776 is " + std::string(kOverTheLimit)},
  };
  MisbehavingOptions options;
  options.pause_ms = 5;
  const auto server = StartMisbehavingServer(options);
  Use(*server);
  AddAll(files);

  const headless::HeadlessForm& form = Run();

  EXPECT_FALSE(form.IsOpen());
  std::vector<std::string> kept;
  std::string failedList(kFailedList);
  bool firstFailure = true;
  ASSERT_EQ(owner.reports.ended.size(), files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    const ScenarioFile& file = files[i];
    EXPECT_EQ(Status(static_cast<std::int32_t>(i + 1)), file.arrives ? "완료" : "실패")
        << file.scenario;
    const DownloadReport& report = owner.reports.ended[i];
    const auto detail = details.find(file.scenario);
    EXPECT_EQ(report.end == DownloadEnd::kUnreadable, detail != details.end()) << file.scenario;
    if (detail != details.end()) {
      EXPECT_EQ(report.detail, detail->second) << file.scenario;
    }
    if (file.arrives) {
      kept.push_back(Name(file));
      ExpectCompleteFile(Name(file), file.size);
    } else {
      failedList += (firstFailure ? "" : "\r\n") + Name(file);
      firstFailure = false;
    }
  }
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(FolderNames(), kept);
  ASSERT_EQ(Messages().size(), 1U);
  EXPECT_EQ(Messages()[0].text, failedList);
}

TEST_F(DownloadFromMisbehavingServer, ABodyPastTheControlsSizesFailsAndSaysWhy) {
  const auto server = StartMisbehavingServer();
  Use(*server);
  // Alone in its session: with files before it, the session's total would pass the limit first.
  AddAll({{"endless-no-length", 100, false}});

  Run();

  EXPECT_EQ(Status(1), "실패");
  EXPECT_TRUE(FolderNames().empty());
  ASSERT_EQ(owner.reports.ended.size(), 1U);
  EXPECT_EQ(owner.reports.ended[0].end, DownloadEnd::kUnreadable);
  EXPECT_EQ(owner.reports.ended[0].detail, "the body ran " + std::string(kOverTheLimit));
  EXPECT_GT(owner.reports.ended[0].written, 2'000'000'000);  // cut at the arrival past the limit
}

TEST_F(DownloadFromMisbehavingServer, NotFoundEndsTheSessionAfterTheFilesBeforeIt) {
  const auto server = StartMisbehavingServer();
  Use(*server);
  AddAll({{"normal", 5000, true}, {"not-found", 100, false}, {"chunked", 100, false}});

  Run();

  EXPECT_EQ(FolderNames(), std::vector<std::string>{"normal.bin"});
  ExpectCompleteFile("normal.bin", 5000);
  ASSERT_EQ(Messages().size(), 1U);
  EXPECT_EQ(Messages()[0].text,
            "서버에 파일이 존재하지 않거나 에러가 발생했습니다.\r\n\r\n에러코드 : 404");
  EXPECT_EQ(Status(3), "대기");
}

TEST_F(DownloadFromMisbehavingServer, AFailedOverwriteKeepsTheOldFile) {
  std::filesystem::create_directories(Folder());
  WriteFile(Folder() / "short-close.bin", "the old content");
  WriteFile(Folder() / "normal.bin", "replaced");
  owner.overwrite = true;
  const auto server = StartMisbehavingServer();
  Use(*server);
  AddAll({{"short-close", 50000, false}, {"normal", 3000, true}});

  Run();

  EXPECT_EQ(ReadFile(Folder() / "short-close.bin"), "the old content");
  ExpectCompleteFile("normal.bin", 3000);
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"normal.bin", "short-close.bin"}));
}

TEST_F(DownloadFromMisbehavingServer, ClosingTheWindowDuringAStalledBodyLeavesNoPartialFile) {
  const auto server = StartMisbehavingServer();
  Use(*server);
  AddAll({{"normal", 2000, true}, {"stall-body", 100000, false}, {"normal", 10, false}});
  // The user gives up once the stalled file has shown some bytes.
  base.ui.OnChange("frmDNProcess", "lblSendProcess", [this](headless::HeadlessWidget& label) {
    if (label.Caption().starts_with("50,000 / 100,000")) base.ui.PostUserClose("frmDNProcess");
  });

  const headless::HeadlessForm& form = Run();

  EXPECT_FALSE(form.IsOpen());
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"normal.bin"});
  EXPECT_EQ(Status(2), "다운중");
  EXPECT_EQ(Status(3), "대기");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(DownloadFromMisbehavingServer, ConnectionsThatFailBeforeAnAnswerFailTheirFiles) {
  const auto closing = StartMisbehavingServer("close-on-accept");
  MisbehavingOptions resetAfterPart;
  resetAfterPart.scenario = "read-then-reset";
  resetAfterPart.bytes = 10;
  const auto resetting = StartMisbehavingServer(resetAfterPart);
  auto stopped = StartMisbehavingServer();
  const int unusedPort = stopped->port();
  stopped->Stop();

  for (const int port : {closing->port(), resetting->port(), unusedPort}) {
    SCOPED_TRACE(port);
    owner = FakeOwner{};
    owner.folder = (Folder().parent_path() / ("down" + std::to_string(port))).string();
    owner.host = "127.0.0.1";
    owner.port = static_cast<std::int16_t>(port);
    owner.Add("/a.bin", "a.bin", 10);
    owner.Add("/b.bin", "b.bin", 10);
    const std::size_t shownBefore = Messages().size();

    Run();

    EXPECT_EQ(Status(1), "실패");
    EXPECT_EQ(Status(2), "실패");
    EXPECT_TRUE(FolderNames().empty());
    ASSERT_EQ(Messages().size(), shownBefore + 1);
    EXPECT_EQ(Messages().back().text, std::string(kFailedList) + "a.bin\r\nb.bin");
  }
}

}  // namespace
}  // namespace veldrask::testing
