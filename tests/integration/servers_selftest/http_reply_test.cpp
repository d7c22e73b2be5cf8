// Reading HTTP replies: where one ends and what it says.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "support/raw_http.h"

namespace veldrask::testing {
namespace {

TEST(HarnessHttpReplyTest, ContentLengthEndsTheReply) {
  const std::string reply = "HTTP/1.1 200 OK\r\nContent-Length: 4\r\nX-A:  b \r\n\r\ndone";
  EXPECT_EQ(CompleteReplyLength(reply), reply.size());
  EXPECT_EQ(CompleteReplyLength(reply + "extra"), reply.size());
  EXPECT_EQ(CompleteReplyLength(reply.substr(0, reply.size() - 1)), std::nullopt);
  const HttpReply parsed = ParseHttpReply(reply);
  EXPECT_EQ(parsed.version, "HTTP/1.1");
  EXPECT_EQ(parsed.status, 200);
  EXPECT_EQ(parsed.reason, "OK");
  EXPECT_EQ(parsed.Header("content-length"), "4");
  EXPECT_EQ(parsed.Header("x-a"), "b");
  EXPECT_EQ(parsed.Header("missing"), std::nullopt);
  EXPECT_EQ(parsed.body, "done");
  EXPECT_TRUE(parsed.complete);
}

TEST(HarnessHttpReplyTest, InterimRepliesAreSkipped) {
  const std::string reply =
      "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 201 Created\r\nContent-Length: 2\r\n\r\nok";
  EXPECT_EQ(CompleteReplyLength(reply), reply.size());
  EXPECT_EQ(CompleteReplyLength("HTTP/1.1 100 Continue\r\n\r\n"), std::nullopt);
  const HttpReply parsed = ParseHttpReply(reply);
  EXPECT_EQ(parsed.status, 201);
  EXPECT_EQ(parsed.body, "ok");
}

TEST(HarnessHttpReplyTest, ChunkedBodiesAreJoinedAndEndAtTheTrailer) {
  const std::string reply =
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
      "3;ext=1\r\nabc\r\nA\r\n0123456789\r\n0\r\nX-Sum: 1\r\n\r\n";
  EXPECT_EQ(CompleteReplyLength(reply), reply.size());
  for (std::size_t cut = reply.find("\r\n\r\n") + 4; cut < reply.size(); ++cut) {
    EXPECT_EQ(CompleteReplyLength(reply.substr(0, cut)), std::nullopt) << cut;
  }
  const HttpReply parsed = ParseHttpReply(reply);
  EXPECT_EQ(parsed.body, "abc0123456789");
  EXPECT_TRUE(parsed.complete);
  const HttpReply cut = ParseHttpReply(reply.substr(0, reply.find("456")));
  EXPECT_EQ(cut.body, "abc0123");
  EXPECT_FALSE(cut.complete);
}

TEST(HarnessHttpReplyTest, WithoutLengthOnlyTheCloseEndsTheBody) {
  const std::string reply = "HTTP/1.1 200\r\nConnection: close\r\n\r\nuntil close";
  EXPECT_EQ(CompleteReplyLength(reply), std::nullopt);
  const HttpReply parsed = ParseHttpReply(reply);
  EXPECT_EQ(parsed.reason, "");
  EXPECT_EQ(parsed.body, "until close");
  EXPECT_FALSE(parsed.complete);
  EXPECT_EQ(CompleteReplyLength("HTTP/1.1 204 No Content\r\n\r\n"), 27u);
}

TEST(HarnessHttpReplyTest, MalformedRepliesAreRefused) {
  EXPECT_THROW(ParseHttpReply("HTTP/1.1 200 OK\r\n"), std::runtime_error);
  EXPECT_THROW(ParseHttpReply("garbage\r\n\r\n"), std::runtime_error);
  EXPECT_THROW(ParseHttpReply("HTTP/1.1 2x0 OK\r\n\r\n"), std::runtime_error);
  EXPECT_THROW(ParseHttpReply("HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\n"), std::runtime_error);
  EXPECT_THROW(ParseHttpReply("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                              "10000000000000000\r\n"),
               std::runtime_error);
  // Only the close can end what cannot be read.
  EXPECT_EQ(CompleteReplyLength("garbage\r\n\r\n"), std::nullopt);
  EXPECT_EQ(CompleteReplyLength("HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999\r\n\r\n"),
            std::nullopt);
}

}  // namespace
}  // namespace veldrask::testing
