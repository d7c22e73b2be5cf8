// The misbehaving server breaks HTTP exactly in the way each scenario names, and serves the
// deterministic content the C++ generator computes.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "support/deterministic_bytes.h"
#include "support/raw_http.h"
#include "support/servers.h"
#include "support/test_deadline.h"

namespace veldrask::testing {
namespace {

using std::chrono_literals::operator""s;
using std::chrono_literals::operator""ms;

const std::string kName = "자료 파일.bin";  // UTF-8, percent-encoded in the paths
constexpr std::uint64_t kSize = 100000;

std::string GetRequest(std::string_view target) {
  return "GET " + std::string(target) + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
}

std::string Content(std::uint64_t offset, std::uint64_t length) {
  return DeterministicBytes(kName, offset, static_cast<std::size_t>(length));
}

std::string HeadOf(const std::string& reply) {
  return reply.substr(0, reply.find("\r\n\r\n") + 4);
}
std::string BodyOf(const std::string& reply) {
  return reply.substr(HeadOf(reply).size());
}

class MisbehavingDownloadSelftest : public ::testing::Test {
 protected:
  // Reads until the server closes (or the timeout), whatever the head announced.
  RawExchange Download(std::string_view scenario, std::chrono::milliseconds timeout = 10s) {
    RawExchangeOptions options;
    options.timeout = timeout;
    options.stop_at_complete_reply = false;
    return ExchangeRaw(server_->port(), GetRequest(ScenarioPath(scenario, kSize, kName)), options);
  }

  TestDeadline deadline_{60s};
  std::unique_ptr<ServerProcess> server_ = StartMisbehavingServer();
};

TEST_F(MisbehavingDownloadSelftest, WellFormedVariantsServeTheDeterministicContent) {
  for (const char* scenario : {"normal", "no-reason", "mixed-case", "length-last", "huge-head"}) {
    SCOPED_TRACE(scenario);
    const RawExchange exchange = Download(scenario);
    EXPECT_EQ(exchange.end, PeerEnd::kClosed);
    const HttpReply reply = ParseHttpReply(exchange.reply);
    EXPECT_EQ(reply.status, 200);
    EXPECT_TRUE(reply.complete);
    EXPECT_EQ(reply.Header("content-length"), std::to_string(kSize));
    EXPECT_EQ(reply.body, Content(0, kSize));
  }
}

TEST_F(MisbehavingDownloadSelftest, HeadsTakeTheAnnouncedShapes) {
  EXPECT_EQ(Download("no-reason").reply.rfind("HTTP/1.1 200\r\n", 0), 0u);
  EXPECT_NE(HeadOf(Download("mixed-case").reply).find("\r\ncontent-LENGTH: 100000\r\n"),
            std::string::npos);
  const HttpReply last = ParseHttpReply(Download("length-last").reply);
  ASSERT_FALSE(last.headers.empty());
  EXPECT_EQ(last.headers.back().first, "Content-Length");
  EXPECT_GT(last.headers.size(), 3u);
  EXPECT_GE(HeadOf(Download("huge-head").reply).size(), 1u << 20);
}

TEST_F(MisbehavingDownloadSelftest, ChunkedBodiesJoinToTheContent) {
  for (const char* scenario : {"chunked", "chunked-trailer"}) {
    SCOPED_TRACE(scenario);
    const RawExchange exchange = Download(scenario);
    const HttpReply reply = ParseHttpReply(exchange.reply);
    EXPECT_EQ(reply.Header("Transfer-Encoding"), "chunked");
    EXPECT_EQ(reply.Header("Content-Length"), std::nullopt);
    EXPECT_TRUE(reply.complete);
    EXPECT_EQ(reply.body, Content(0, kSize));
    EXPECT_EQ(CompleteReplyLength(exchange.reply), exchange.reply.size());
  }
  const std::string trailer = Download("chunked-trailer").reply;
  EXPECT_NE(trailer.find(";n=1\r\n"), std::string::npos);
  EXPECT_NE(trailer.find("\r\n0\r\nX-Checksum: none\r\n\r\n"), std::string::npos);
}

TEST_F(MisbehavingDownloadSelftest, SplitAndSlowRepliesArriveOverTime) {
  const auto start = std::chrono::steady_clock::now();
  const HttpReply split = ParseHttpReply(Download("split-head").reply);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 6 * 50ms);  // six pieces, 50 ms apart
  EXPECT_EQ(split.status, 200);
  EXPECT_EQ(split.body, Content(0, kSize));

  const auto slow_start = std::chrono::steady_clock::now();
  const HttpReply slow = ParseHttpReply(Download("slow").reply);
  EXPECT_GE(std::chrono::steady_clock::now() - slow_start, 25 * 50ms);  // 4096-byte pieces
  EXPECT_EQ(slow.body, Content(0, kSize));
}

TEST_F(MisbehavingDownloadSelftest, BodyWithoutLengthEndsAtClose) {
  const RawExchange exchange = Download("no-length");
  EXPECT_EQ(exchange.end, PeerEnd::kClosed);
  const HttpReply reply = ParseHttpReply(exchange.reply);
  EXPECT_EQ(reply.Header("Content-Length"), std::nullopt);
  EXPECT_FALSE(reply.complete);
  EXPECT_EQ(reply.body, Content(0, kSize));
}

TEST_F(MisbehavingDownloadSelftest, BodiesCutShortCloseResetOrStall) {
  const RawExchange closed = Download("short-close");
  EXPECT_EQ(closed.end, PeerEnd::kClosed);
  const HttpReply short_reply = ParseHttpReply(closed.reply);
  EXPECT_EQ(short_reply.Header("Content-Length"), std::to_string(kSize));
  EXPECT_FALSE(short_reply.complete);
  EXPECT_EQ(short_reply.body, Content(0, kSize / 2));

  const RawExchange reset = Download("reset-mid-body");
  EXPECT_EQ(reset.end, PeerEnd::kReset);
  const std::string reset_body = BodyOf(reset.reply);
  EXPECT_LE(reset_body.size(), kSize / 2);
  EXPECT_EQ(reset_body, Content(0, reset_body.size()));

  const RawExchange stalled = Download("stall-body", 700ms);
  EXPECT_EQ(stalled.end, PeerEnd::kTimedOut);
  EXPECT_EQ(BodyOf(stalled.reply), Content(0, kSize / 2));
}

TEST_F(MisbehavingDownloadSelftest, ExtraBytesFollowTheAnnouncedLength) {
  const RawExchange exchange = Download("extra-bytes");
  EXPECT_EQ(exchange.end, PeerEnd::kClosed);
  EXPECT_EQ(BodyOf(exchange.reply), Content(0, kSize + 64));
  EXPECT_EQ(ParseHttpReply(exchange.reply).body, Content(0, kSize));
}

TEST_F(MisbehavingDownloadSelftest, NotFoundHasAnHtmlBody) {
  const HttpReply reply = ParseHttpReply(Download("not-found").reply);
  EXPECT_EQ(reply.status, 404);
  EXPECT_EQ(reply.reason, "Not Found");
  EXPECT_EQ(reply.Header("Content-Type"), "text/html; charset=utf-8");
  EXPECT_NE(reply.body.find("파일을 찾을 수 없습니다"), std::string::npos);
}

TEST_F(MisbehavingDownloadSelftest, KeepAliveAnswersEveryRequestAndNeverCloses) {
  const std::string target = ScenarioPath("keep-alive", kSize, kName);
  RawExchangeOptions options;
  options.timeout = 700ms;
  options.stop_at_complete_reply = false;
  const RawExchange exchange =
      ExchangeRaw(server_->port(), GetRequest(target) + GetRequest(target), options);
  EXPECT_EQ(exchange.end, PeerEnd::kTimedOut);
  const std::size_t first_length = CompleteReplyLength(exchange.reply).value_or(0);
  ASSERT_GT(first_length, 0u);
  const HttpReply first = ParseHttpReply(exchange.reply.substr(0, first_length));
  EXPECT_EQ(first.Header("Connection"), "keep-alive");
  EXPECT_EQ(first.body, Content(0, kSize));
  EXPECT_EQ(exchange.reply.substr(first_length), exchange.reply.substr(0, first_length));
}

TEST_F(MisbehavingDownloadSelftest, UnusableLengthsAreSentAsAnnounced) {
  const RawExchange negative = Download("negative-length");
  EXPECT_EQ(negative.end, PeerEnd::kClosed);
  EXPECT_NE(HeadOf(negative.reply).find("\r\nContent-Length: -1\r\n"), std::string::npos);
  EXPECT_THROW(ParseHttpReply(negative.reply), std::runtime_error);
  EXPECT_EQ(BodyOf(negative.reply), Content(0, kSize));

  const RawExchange enormous = Download("enormous-length");
  EXPECT_NE(HeadOf(enormous.reply).find("\r\nContent-Length: 18446744073709551616\r\n"),
            std::string::npos);
  EXPECT_EQ(CompleteReplyLength(enormous.reply), std::nullopt);
  EXPECT_EQ(BodyOf(enormous.reply), Content(0, kSize));

  const RawExchange overflow = Download("chunk-overflow");
  EXPECT_EQ(BodyOf(overflow.reply), "10000000000000000\r\n" + Content(0, kSize));
  EXPECT_THROW(ParseHttpReply(overflow.reply), std::runtime_error);
}

TEST_F(MisbehavingDownloadSelftest, StallAfterTheRequestNeverAnswers) {
  const RawExchange exchange = Download("stall-head", 500ms);
  EXPECT_EQ(exchange.end, PeerEnd::kTimedOut);
  EXPECT_EQ(exchange.reply, "");
}

TEST(MisbehavingServerSelftest, CommandLineScenarioAppliesToAnyPath) {
  TestDeadline deadline(30s);
  MisbehavingOptions options;
  options.scenario = "chunked";
  options.size = 5000;
  const auto server = StartMisbehavingServer(options);
  // The key is the last path component, percent-decoded: CP949 bytes here.
  const HttpReply reply = HttpGet(server->port(), "/files/%B0%A1.bin?v=2");
  EXPECT_EQ(reply.Header("Transfer-Encoding"), "chunked");
  EXPECT_EQ(reply.body, DeterministicBytes("\xB0\xA1.bin", 0, 5000));
}

TEST(MisbehavingServerSelftest, CloseOnAcceptSendsNothing) {
  TestDeadline deadline(30s);
  const auto server = StartMisbehavingServer("close-on-accept");
  const RawExchange exchange = ExchangeRaw(server->port(), "");
  EXPECT_EQ(exchange.end, PeerEnd::kClosed);
  EXPECT_EQ(exchange.reply, "");
}

TEST(MisbehavingServerSelftest, ReadThenCloseEndsWithFinAndReadThenResetWithRst) {
  TestDeadline deadline(30s);
  MisbehavingOptions options;
  options.bytes = 1000;
  options.scenario = "read-then-close";
  const auto closing = StartMisbehavingServer(options);
  options.scenario = "read-then-reset";
  const auto resetting = StartMisbehavingServer(options);
  const std::string exactly =
      "POST / HTTP/1.1\r\nContent-Length: 960\r\n\r\n" + std::string(960, 'b');
  ASSERT_EQ(exactly.size(), 1000u);

  const RawExchange closed = ExchangeRaw(closing->port(), exactly);
  EXPECT_EQ(closed.end, PeerEnd::kClosed);
  EXPECT_EQ(closed.reply, "");
  const RawExchange reset = ExchangeRaw(resetting->port(), exactly);
  EXPECT_EQ(reset.end, PeerEnd::kReset);
  EXPECT_EQ(reset.reply, "");

  // More than any socket buffers hold: the server stops taking it after its 1000 bytes.
  const std::string huge =
      "POST / HTTP/1.1\r\nContent-Length: 33554432\r\n\r\n" + std::string(32 * 1024 * 1024, 'h');
  const RawExchange refused = ExchangeRaw(closing->port(), huge);
  EXPECT_LT(refused.bytes_sent, huge.size());
  EXPECT_NE(refused.end, PeerEnd::kTimedOut);
  EXPECT_EQ(refused.reply, "");
}

TEST(MisbehavingServerSelftest, EarlyReplyAnswersBeforeTheBody) {
  TestDeadline deadline(30s);
  MisbehavingOptions options;
  options.scenario = "early-reply";
  options.status = "413 Request Entity Too Large";
  options.body = "파일이 너무 큽니다";
  const auto server = StartMisbehavingServer(options);
  // Only the head goes out: the answer cannot have waited for the announced 10 MB.
  const RawExchange exchange =
      ExchangeRaw(server->port(), "POST /upload HTTP/1.1\r\nContent-Length: 10000000\r\n\r\n");
  EXPECT_NE(exchange.end, PeerEnd::kTimedOut);
  const HttpReply reply = ParseHttpReply(exchange.reply);
  EXPECT_EQ(reply.status, 413);
  EXPECT_EQ(reply.reason, "Request Entity Too Large");
  EXPECT_EQ(reply.body, "파일이 너무 큽니다");
}

TEST(MisbehavingServerSelftest, StallNeitherReadsNorAnswers) {
  TestDeadline deadline(30s);
  const auto server = StartMisbehavingServer("stall");
  RawExchangeOptions options;
  options.timeout = 700ms;
  // Far more than the socket buffers take while nobody reads.
  const std::string huge(32 * 1024 * 1024, 's');
  const RawExchange exchange = ExchangeRaw(server->port(), huge, options);
  EXPECT_EQ(exchange.end, PeerEnd::kTimedOut);
  EXPECT_EQ(exchange.reply, "");
  EXPECT_LT(exchange.bytes_sent, huge.size());
  EXPECT_FALSE(exchange.send_failed);
}

}  // namespace
}  // namespace veldrask::testing
