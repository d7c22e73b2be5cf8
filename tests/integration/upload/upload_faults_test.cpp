// Uploads that do not end well: refused, cut off, answered early, closed by the user, a file
// that shrank, a block size of 0, and a server that holds the upload.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "integration/upload/upload_session_fixture.h"
#include "support/files.h"
#include "support/servers.h"

namespace veldrask::upload_test {
namespace {

using std::chrono_literals::operator""ms;

// A port below 32768 on which nothing listens: bound once, then released.
int ClosedPort() {
  for (int port = 23456; port < 32000; port += 7) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool free = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    if (free) return port;
  }
  throw std::runtime_error("no free port");
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

class UploadFaultTest : public UploadSessionTest {
 protected:
  // Closes the window from another thread after delay, as a user would: the close arrives
  // through the event loop.
  void CloseWindowAfter(std::chrono::milliseconds delay) {
    closer_ = std::jthread([this, delay] {
      std::this_thread::sleep_for(delay);
      cpuAtClose_ = CpuSeconds();
      closeTime_ = std::chrono::steady_clock::now();
      closeRequested_ = true;
      posix_.Loop().Post([this] {
        if (auto* form = ui_.FindOpenForm("frmProcess")) form->Close();
      });
    });
  }

  std::jthread closer_;
  std::atomic<bool> closeRequested_ = false;
  double cpuAtClose_ = 0;
  std::chrono::steady_clock::time_point closeTime_;
  bool closePosted_ = false;
};

// Called for every byte label change: true once a block has gone out.
bool AfterFirstBlock(const headless::HeadlessWidget& label) {
  return !label.Caption().starts_with("0 / ");
}

void ExpectSocketErrorMessage(const headless::MessageRecord& message,
                              std::vector<std::string> numbers) {
  const std::string number = message.text.substr(0, message.text.find(':'));
  EXPECT_NE(std::find(numbers.begin(), numbers.end(), number), numbers.end()) << message.text;
  EXPECT_GT(message.text.size(), number.size() + 1);
  EXPECT_EQ(message.icon, MessageIcon::kCritical);
  EXPECT_EQ(message.caption, kMainTitle);
}

TEST_F(UploadFaultTest, RefusedConnectionShowsItsNumberAndCloses) {
  const auto file = dir_ / "a.txt";
  testing::WriteFile(file, "abc");
  Compose({file}, {});
  const SessionOutcome outcome = Run(ClosedPort());
  ASSERT_EQ(outcome.messages.size(), 1u);
  ExpectSocketErrorMessage(outcome.messages[0], {"10061"});
  EXPECT_EQ(outcome.statuses, std::vector<std::string>{"대기"});
  EXPECT_EQ(owner_.responses, std::vector<std::string>{""});
}

TEST_F(UploadFaultTest, ServerClosingMidFileStopsTheRun) {
  const auto first = dir_ / "first.bin";
  // More than loopback's buffers take from a peer that stopped reading (about 4 MiB here), or
  // a quick sender could hand the whole file to the kernel before the close arrives.
  WritePatternFile(first, 16 << 20);
  const auto second = dir_ / "second.bin";
  testing::WriteFile(second, "second");
  Compose({first, second}, {});
  const auto server =
      testing::StartMisbehavingServer({.scenario = "read-then-close", .bytes = 100000});
  const SessionOutcome outcome = Run(server->port());
  EXPECT_EQ(outcome.statuses, (std::vector<std::string>{"전송중", "대기"}));
  // A close that leaves our bytes unread reaches us as a reset or a broken pipe, which is
  // reported; a plain close is not.
  ASSERT_LE(outcome.messages.size(), 1u);
  if (!outcome.messages.empty()) {
    ExpectSocketErrorMessage(outcome.messages[0], {"10053", "10054"});
  }
}

TEST_F(UploadFaultTest, EarlyAnswerStopsTheUpload) {
  const auto file = dir_ / "big.bin";
  WritePatternFile(file, 8 << 20);
  Compose({file}, {});
  const auto server = testing::StartMisbehavingServer(
      {.scenario = "early-reply", .status = "413 Payload Too Large", .body = "too large"});
  const SessionOutcome outcome = Run(server->port());
  EXPECT_EQ(outcome.statuses, std::vector<std::string>{"전송중"});
  ASSERT_EQ(owner_.responses.size(), 1u);
  // The answer waits in the receive queue behind the reset and is handed over first.
  EXPECT_TRUE(outcome.messages.empty());
  EXPECT_EQ(owner_.responses[0], "too large");
}

TEST_F(UploadFaultTest, UserClosingMidRunStopsAtOnce) {
  const auto file = dir_ / "large.bin";
  WritePatternFile(file, 4 << 20);
  Compose({file}, {});
  testing::TempDir store;
  const auto server = testing::StartNodeServer("busboy", store.path());
  ui_.Recorder().OnChange("frmProcess", "lblSendProcess", [this](headless::HeadlessWidget& label) {
    if (closePosted_ || !AfterFirstBlock(label)) return;
    ui_.PostUserClose("frmProcess");
    closePosted_ = true;
  });
  const SessionOutcome outcome = Run(server->port());
  EXPECT_TRUE(closePosted_);
  EXPECT_EQ(outcome.statuses, std::vector<std::string>{"전송중"});
  EXPECT_TRUE(outcome.messages.empty());
}

TEST_F(UploadFaultTest, FileThatShrankIsNotPaddedAndNamesTheFile) {
  const auto file = dir_ / "shrinking.log";
  testing::WriteDeterministicFile(file, 30000);
  Compose({file}, {});
  std::filesystem::resize_file(file, 20000);
  testing::TempDir records;
  const auto server = testing::StartRecordingServer(records.path());
  const SessionOutcome outcome = Run(server->port());

  ASSERT_EQ(outcome.messages.size(), 1u);
  EXPECT_TRUE(outcome.messages[0].text.starts_with("[62] ")) << outcome.messages[0].text;
  EXPECT_NE(outcome.messages[0].text.find(file.string()), std::string::npos);
  EXPECT_EQ(outcome.messages[0].caption, std::nullopt);
  EXPECT_TRUE(owner_.responses.empty());
  // Head, part head and the two whole blocks that could still be read; not one byte more.
  const std::string recorded = testing::WaitForRecordedConnection(records.path(), 1);
  const std::string wire = ExpectedWire();
  const std::size_t sent = wire.find(testing::ReadFile(file).substr(0, 16)) + 2 * 8192;
  EXPECT_EQ(recorded, wire.substr(0, sent));
}

TEST_F(UploadFaultTest, BufferSizeBelowOneFailsBeforeConnecting) {
  const auto file = dir_ / "a.txt";
  testing::WriteFile(file, "abc");
  Compose({file}, {});
  testing::TempDir records;
  const auto server = testing::StartRecordingServer(records.path());
  for (const std::int32_t size : {0, -5}) {
    owner_.bufferSize = size;
    const SessionOutcome outcome = Run(server->port());
    ASSERT_EQ(outcome.messages.size(), 1u);
    EXPECT_TRUE(outcome.messages[0].text.starts_with("[5] BufferSize")) << outcome.messages[0].text;
    EXPECT_EQ(outcome.messages[0].caption, std::nullopt);
    EXPECT_EQ(outcome.statuses, std::vector<std::string>{"대기"});
  }
  EXPECT_TRUE(owner_.responses.empty());
  EXPECT_FALSE(std::filesystem::exists(records / "connection-1.bin"));
}

TEST_F(UploadFaultTest, StalledServerHoldsTheUploadWithoutUsingTheProcessor) {
  const auto file = dir_ / "held.bin";
  WritePatternFile(file, 48 << 20);
  Compose({file}, {});
  const auto server = testing::StartMisbehavingServer("stall");
  // The last block before the socket buffers filled up starts a stretch of pure waiting,
  // which lasts until the user closes the window.
  double cpuAtFill = 0;
  std::chrono::steady_clock::time_point filled;
  ui_.Recorder().OnChange("frmProcess", "lblSendProcess", [&](headless::HeadlessWidget&) {
    if (closeRequested_) return;
    cpuAtFill = CpuSeconds();
    filled = std::chrono::steady_clock::now();
  });
  CloseWindowAfter(2000ms);
  const SessionOutcome outcome = Run(server->port());
  closer_.join();
  const double waitedCpu = cpuAtClose_ - cpuAtFill;
  const double waitedWall = std::chrono::duration<double>(closeTime_ - filled).count();

  EXPECT_EQ(outcome.statuses, std::vector<std::string>{"전송중"});
  EXPECT_TRUE(outcome.messages.empty());
  EXPECT_GT(waitedWall, 1.0);
  EXPECT_LT(waitedCpu, 0.05) << "over " << waitedWall << " s of waiting";
}

}  // namespace
}  // namespace veldrask::upload_test
