// The recording server keeps exactly what each connection sent and answers as configured.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "support/deterministic_bytes.h"
#include "support/files.h"
#include "support/raw_http.h"
#include "support/servers.h"
#include "support/temp_dir.h"
#include "support/test_deadline.h"

namespace veldrask::testing {
namespace {

using std::chrono_literals::operator""s;

class RecordingServerSelftest : public ::testing::Test {
 protected:
  TestDeadline deadline_{60s};
  TempDir records_;
};

std::string PostWithLength(const std::string& body) {
  return "POST /upload HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/octet-stream\r\n"
         "Content-Length: " +
         std::to_string(body.size()) + "\r\n\r\n" + body;
}

TEST_F(RecordingServerSelftest, KeepsEveryByteOfEachConnectionInOrder) {
  const auto server = StartRecordingServer(records_.path());
  const std::string first = PostWithLength(DeterministicBytes("first", 0, 2 * 1024 * 1024));
  const std::string second = PostWithLength("\r\n\r\n\x00\xff" + std::string("tail"));

  const HttpReply reply = ParseHttpReply(SendRaw(server->port(), first));
  EXPECT_EQ(reply.status, 200);
  EXPECT_EQ(reply.body, "done");
  EXPECT_EQ(reply.Header("Connection"), "close");
  EXPECT_EQ(ParseHttpReply(SendRaw(server->port(), second)).body, "done");

  EXPECT_EQ(WaitForRecordedConnection(records_.path(), 1), first);
  EXPECT_EQ(WaitForRecordedConnection(records_.path(), 2), second);
}

TEST_F(RecordingServerSelftest, FindsTheEndOfChunkedAndBodilessRequests) {
  const auto server = StartRecordingServer(records_.path());
  const std::string chunked =
      "POST /c HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n"
      "5;x=y\r\nhello\r\n1A\r\nabcdefghijklmnopqrstuvwxyz\r\n0\r\nX-T: 1\r\n\r\n";
  const std::string get = "GET /x HTTP/1.1\r\nHost: x\r\n\r\n";
  EXPECT_EQ(ParseHttpReply(SendRaw(server->port(), chunked)).status, 200);
  EXPECT_EQ(ParseHttpReply(SendRaw(server->port(), get)).status, 200);
  EXPECT_EQ(WaitForRecordedConnection(records_.path(), 1), chunked);
  EXPECT_EQ(WaitForRecordedConnection(records_.path(), 2), get);
}

TEST_F(RecordingServerSelftest, DoesNotAnswerAnIncompleteRequest) {
  const auto server = StartRecordingServer(records_.path());
  const std::string partial = "POST / HTTP/1.1\r\nContent-Length: 10\r\n\r\n12345";
  RawExchangeOptions options;
  options.timeout = std::chrono::milliseconds(500);
  const RawExchange waiting = ExchangeRaw(server->port(), partial, options);
  EXPECT_EQ(waiting.end, PeerEnd::kTimedOut);
  EXPECT_EQ(waiting.reply, "");
  // The connection closed with the exchange; the record holds what came.
  EXPECT_EQ(WaitForRecordedConnection(records_.path(), 1), partial);
}

TEST_F(RecordingServerSelftest, AnswersTheConfiguredReply) {
  RecordingReply configured;
  configured.status = "507 Insufficient Storage";
  configured.body = "완료되지 않음";
  configured.charset = "euc-kr";
  configured.headers = {"X-Upload-Id: 42", "Set-Cookie: a=b"};
  const auto server = StartRecordingServer(records_.path(), configured);
  const HttpReply reply = ParseHttpReply(SendRaw(server->port(), PostWithLength("x")));
  EXPECT_EQ(reply.status, 507);
  EXPECT_EQ(reply.reason, "Insufficient Storage");
  EXPECT_EQ(reply.Header("Content-Type"), "text/plain; charset=euc-kr");
  EXPECT_EQ(reply.Header("X-Upload-Id"), "42");
  EXPECT_EQ(reply.Header("Set-Cookie"), "a=b");
  EXPECT_EQ(reply.body, "\xBF\xCF\xB7\xE1\xB5\xC7\xC1\xF6 \xBE\xCA\xC0\xBD");  // EUC-KR
}

TEST_F(RecordingServerSelftest, CanEndTheBodyByClosingAndSendRawBytes) {
  RecordingReply unframed;
  unframed.content_length = false;
  unframed.body = "-starts with a dash";
  const auto server = StartRecordingServer(records_.path(), unframed);
  const std::string reply = SendRaw(server->port(), PostWithLength("x"));
  EXPECT_EQ(reply.find("Content-Length"), std::string::npos);
  EXPECT_EQ(ParseHttpReply(reply).body, "-starts with a dash");

  TempDir other_records;
  RecordingReply raw;
  raw.raw_reply_file = records_ / "reply.bin";
  WriteFile(raw.raw_reply_file, "HTTP/1.0 302 Found\r\nLocation: /next\r\n\r\n");
  const auto raw_server = StartRecordingServer(other_records.path(), raw);
  EXPECT_EQ(SendRaw(raw_server->port(), PostWithLength("x")),
            "HTTP/1.0 302 Found\r\nLocation: /next\r\n\r\n");
}

TEST_F(RecordingServerSelftest, SendsContinueOnlyWhenAskedTo) {
  const auto server = StartRecordingServer(records_.path());
  const std::string head = "POST / HTTP/1.1\r\nExpect: 100-continue\r\nContent-Length: 3\r\n\r\n";
  RawExchangeOptions options;
  options.timeout = std::chrono::milliseconds(1000);
  options.stop_at_complete_reply = false;
  // Only the head is sent: the interim reply must come before the body does.
  const RawExchange interim = ExchangeRaw(server->port(), head, options);
  EXPECT_EQ(interim.reply, "HTTP/1.1 100 Continue\r\n\r\n");

  const std::string whole = SendRaw(server->port(), head + "abc");
  EXPECT_EQ(whole.rfind("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\n", 0), 0u);
  EXPECT_EQ(ParseHttpReply(whole).body, "done");

  TempDir quiet_records;
  RecordingReply no_continue;
  no_continue.send_continue = false;
  const auto quiet = StartRecordingServer(quiet_records.path(), no_continue);
  EXPECT_EQ(SendRaw(quiet->port(), head + "abc").rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
}

}  // namespace
}  // namespace veldrask::testing
