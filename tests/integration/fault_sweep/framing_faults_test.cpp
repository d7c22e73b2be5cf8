// Replies whose framing no reader can trust: a head past any sane size, a chunk size that
// overflows, a Content-Length that is negative or beyond 64 bits, and more bytes than
// announced. Each ends with a clear outcome, and a download leaves nothing partial behind.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "integration/download/download_server_fixture.h"
#include "integration/fault_sweep/sweep_support.h"
#include "integration/upload/upload_session_fixture.h"
#include "support/deterministic_bytes.h"
#include "support/files.h"
#include "support/raw_http.h"
#include "support/servers.h"

namespace veldrask::testing {
namespace {

using std::chrono_literals::operator""s;

constexpr std::uint64_t kSize = 100;
// The reader's head limit, 64 KiB. A huge head holds head_bytes / 1018 filler lines.
constexpr std::size_t kHeadLimit = 64 * 1024;
constexpr std::uint64_t kFillerLine = 1018;

std::size_t HeadLength(std::string_view reply) {
  const std::size_t blank = reply.find("\r\n\r\n");
  return blank == std::string_view::npos ? reply.size() : blank + 4;
}

struct FramingCase {
  std::string scenario;
  std::uint64_t headBytes = 1 << 20;  // huge-head only
  bool arrives = false;
};

// Heads are measured rather than assumed: the first fits under the limit, the others not.
const std::vector<FramingCase> kFramingCases = {
    {.scenario = "huge-head", .headBytes = 64 * kFillerLine, .arrives = true},
    {.scenario = "huge-head", .headBytes = 65 * kFillerLine},
    {.scenario = "huge-head", .headBytes = 1 << 20},
    {.scenario = "chunk-overflow"},
    {.scenario = "negative-length"},
    {.scenario = "enormous-length"},
    {.scenario = "extra-bytes", .arrives = true},
};

std::string CaseName(const FramingCase& framing) {
  return framing.scenario == "huge-head"
             ? framing.scenario + " of " + std::to_string(framing.headBytes) + " filler bytes"
             : framing.scenario;
}

std::unique_ptr<ServerProcess> StartFor(const FramingCase& framing) {
  MisbehavingOptions options;
  options.head_bytes = framing.headBytes;
  return StartMisbehavingServer(options);
}

class DownloadFramingFaults : public DownloadServerTest {};

TEST_F(DownloadFramingFaults, OnlyAWellFramedFileArrivesAndNothingElseStays) {
  for (const FramingCase& framing : kFramingCases) {
    SCOPED_TRACE(CaseName(framing));
    const auto server = StartFor(framing);
    Use(*server);
    const std::string target = ScenarioPath(framing.scenario, kSize, "framed.bin");
    if (framing.scenario == "huge-head") {
      const std::size_t head = HeadLength(FetchReply(server->port(), target));
      ASSERT_EQ(head <= kHeadLimit, framing.arrives) << head << " bytes of head";
    }
    owner.files = {AttachedFile{}};
    owner.Add(target, "framed.bin", static_cast<std::int32_t>(kSize));
    const std::size_t shownBefore = Messages().size();
    {
      const RunDeadline limit(base.loop, base.ui, "frmDNProcess", 10s);
      Run();
      EXPECT_FALSE(limit.Expired());
    }
    if (framing.arrives) {
      EXPECT_EQ(Status(1), "완료");
      EXPECT_EQ(FolderNames(), std::vector<std::string>{"framed.bin"});
      EXPECT_EQ(ReadFile(Folder() / "framed.bin"), DeterministicBytes("framed.bin", 0, kSize));
      EXPECT_EQ(Messages().size(), shownBefore);
    } else {
      EXPECT_EQ(Status(1), "실패");
      EXPECT_EQ(FolderNames(), std::vector<std::string>{});
      ASSERT_EQ(Messages().size(), shownBefore + 1);
      EXPECT_EQ(Messages().back().text, "다음 파일은 다운로드하지 못했습니다.\r\n\r\nframed.bin");
    }
    std::filesystem::remove_all(Folder());
  }
}

}  // namespace
}  // namespace veldrask::testing

namespace veldrask::upload_test {
namespace {

using std::chrono_literals::operator""s;

constexpr std::size_t kUnparsedLimit = std::size_t{1} << 20;

class UploadFramingFaults : public UploadSessionTest {
 protected:
  // Uploads a small file to a server that answers as framing says: the window closes after
  // sending it all, and the owner receives one reply, returned here.
  std::string Upload(const testing::FramingCase& framing) {
    SCOPED_TRACE(testing::CaseName(framing));
    const auto file = dir_ / "framed.txt";
    testing::WriteDeterministicFile(file, 100);
    const auto server = testing::StartFor(framing);
    const std::string target = testing::ScenarioPath(framing.scenario, testing::kSize, kReply);
    if (framing.scenario == "huge-head") reply_ = testing::FetchReply(server->port(), target);
    Compose({file}, {}, target);
    owner_.responses.clear();
    const testing::RunDeadline limit(posix_.Loop(), ui_, "frmProcess", 10s);
    const SessionOutcome outcome = Run(server->port());
    EXPECT_FALSE(limit.Expired());
    EXPECT_EQ(outcome.statuses, std::vector<std::string>{"완료"});
    EXPECT_TRUE(outcome.messages.empty()) << outcome.messages.front().text;
    EXPECT_EQ(owner_.responses.size(), 1u);
    return owner_.responses.empty() ? std::string() : owner_.responses.front();
  }

  std::string Body() const {
    return platform_.ansi.Decode(testing::DeterministicBytes(kReply, 0, testing::kSize));
  }

  static constexpr std::string_view kReply = "reply.bin";
  std::string reply_;  // the whole reply of the last huge head
};

TEST_F(UploadFramingFaults, AReplyWithoutATrustworthyBodyLengthGivesAnEmptyReply) {
  for (const char* scenario : {"chunk-overflow", "negative-length", "enormous-length"}) {
    EXPECT_EQ(Upload({.scenario = scenario}), "") << scenario;
  }
}

TEST_F(UploadFramingFaults, ExtraBytesAndAHeadWithinTheLimitGiveExactlyTheBody) {
  EXPECT_EQ(Upload({.scenario = "extra-bytes"}), Body());
  EXPECT_EQ(Upload({.scenario = "huge-head", .headBytes = 64 * testing::kFillerLine}), Body());
  ASSERT_LE(testing::HeadLength(reply_), testing::kHeadLimit);
}

// A head past the limit is not read as HTTP: the reply is the text after the first blank line
// of what had come when the reader gave up, or all of it, kept up to 1 MiB. How much had come
// by then depends on the arrivals, so the body and a start of the head are both outcomes.
TEST_F(UploadFramingFaults, AHeadPastTheLimitGivesTheBodyOrAtMostOneMebibyteOfTheHead) {
  for (const std::uint64_t filler : {65 * testing::kFillerLine, std::uint64_t{1} << 20}) {
    SCOPED_TRACE(filler);
    const std::string stored = Upload({.scenario = "huge-head", .headBytes = filler});
    const std::size_t head = testing::HeadLength(reply_);
    ASSERT_GT(head, testing::kHeadLimit);
    if (stored == Body()) {
      EXPECT_LT(head, kUnparsedLimit);
      continue;
    }
    EXPECT_GT(stored.size(), testing::kHeadLimit);
    EXPECT_LE(stored.size(), kUnparsedLimit);
    EXPECT_TRUE(reply_.starts_with(stored)) << stored.substr(0, 80);
  }
}

}  // namespace
}  // namespace veldrask::upload_test
