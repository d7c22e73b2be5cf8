#include "http/response_reader.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/tcp_socket.h"

namespace veldrask {
namespace {

std::string Text(std::span<const std::byte> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

struct Reading {
  ResponseReader reader;
  std::string body;
  std::string excess;
  std::uint64_t bodyBytes = 0;  // the sum of what Feed reported

  void Feed(std::string_view arrival) {
    const FeedResult result = reader.Feed(
        AsBytes(arrival), [&](std::span<const std::byte> bytes) { body += Text(bytes); });
    bodyBytes += result.bodyBytes;
    excess += Text(result.excess);
  }
};

// Reads text as arrivals of pieceSize bytes, then the close when closeAtEnd.
void ReadInPieces(Reading& reading, std::string_view text, std::size_t pieceSize, bool closeAtEnd) {
  for (std::size_t at = 0; at < text.size(); at += pieceSize) {
    reading.Feed(text.substr(at, pieceSize));
  }
  if (closeAtEnd) reading.reader.OnClose();
}

struct Expected {
  ReaderState state;
  std::string body;
  std::string excess;
};

// Every split of text, from one byte at a time to one arrival, reads the same.
void ExpectInEverySplit(std::string_view text, bool closeAtEnd, const Expected& expected) {
  for (std::size_t pieceSize = 1; pieceSize <= text.size(); ++pieceSize) {
    Reading reading;
    ReadInPieces(reading, text, pieceSize, closeAtEnd);
    EXPECT_EQ(reading.reader.State(), expected.state) << "pieces of " << pieceSize;
    EXPECT_EQ(reading.body, expected.body) << "pieces of " << pieceSize;
    EXPECT_EQ(reading.excess, expected.excess) << "pieces of " << pieceSize;
    EXPECT_EQ(reading.bodyBytes, expected.body.size()) << "pieces of " << pieceSize;
    EXPECT_EQ(reading.reader.BodyReceived(), expected.body.size()) << "pieces of " << pieceSize;
  }
}

TEST(ResponseReader, ContentLengthEndsTheBodyAndTheRestIsExcess) {
  const std::string text = "HTTP/1.1 200 OK\r\ncontent-length: 5\r\n\r\nHelloEXTRA";
  ExpectInEverySplit(text, false, {ReaderState::kComplete, "Hello", "EXTRA"});

  Reading reading;
  reading.Feed(text);
  EXPECT_TRUE(reading.reader.Complete());
  EXPECT_EQ(reading.reader.Head().statusCode, "200");
  EXPECT_EQ(reading.reader.Framing(), BodyFraming::kContentLength);
  EXPECT_EQ(reading.reader.ContentLength(), 5u);
  EXPECT_EQ(reading.reader.UnparsedHead(), "");
}

TEST(ResponseReader, ChunkedBodyWinsOverContentLength) {
  const std::string text =
      "HTTP/1.1 200 OK\r\nContent-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\n"
      "4;x=y\r\nWiki\r\n5\r\npedia\r\n0\r\nExpires: never\r\n\r\nAFTER";
  ExpectInEverySplit(text, false, {ReaderState::kComplete, "Wikipedia", "AFTER"});

  Reading reading;
  reading.Feed(text);
  EXPECT_EQ(reading.reader.Framing(), BodyFraming::kChunked);
  EXPECT_EQ(reading.reader.ContentLength(), std::nullopt);
}

TEST(ResponseReader, BodyUntilCloseCompletesOnlyWithTheClose) {
  const std::string text = "HTTP/1.0 200 OK\nContent-Type: text/plain\n\nall of it";
  ExpectInEverySplit(text, true, {ReaderState::kComplete, "all of it", ""});

  Reading reading;
  reading.Feed(text);
  EXPECT_EQ(reading.reader.State(), ReaderState::kReadingBody);
  EXPECT_EQ(reading.reader.Framing(), BodyFraming::kUntilClose);
  EXPECT_EQ(reading.reader.ContentLength(), std::nullopt);
}

TEST(ResponseReader, OnlyAnEmptyLineEndsTheHead) {
  // Bare LF line ends are read as well; a line of one space is not empty.
  for (const char* blankLine : {"\r\n\r\n", "\n\n", "\r\n\n", "\n\r\n"}) {
    const std::string text = "HTTP/1.1 200 OK\nA: 1\n \nB: 2" + std::string(blankLine) + "body";
    Reading reading;
    reading.Feed(text);
    EXPECT_EQ(reading.reader.Head().Find("B"), "2") << blankLine;
    EXPECT_EQ(reading.reader.State(), ReaderState::kReadingBody) << blankLine;
    EXPECT_EQ(reading.body, "body") << blankLine;
  }
}

TEST(ResponseReader, EmptyBodiesCompleteRightAfterTheHead) {
  ExpectInEverySplit("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", false,
                     {ReaderState::kComplete, "", ""});
  ExpectInEverySplit("HTTP/1.1 204 No Content\r\nContent-Length: 9\r\n\r\nstray", false,
                     {ReaderState::kComplete, "", "stray"});
  ExpectInEverySplit("HTTP/1.1 304 Not Modified\r\n\r\n", false, {ReaderState::kComplete, "", ""});
}

TEST(ResponseReader, InterimResponsesAreSkipped) {
  const std::string text =
      "HTTP/1.1 100 Continue\r\n\r\n\r\nHTTP/1.1 102 Processing\r\nX: 1\r\n\r\n"
      "HTTP/1.1 201 Created\r\nContent-Length: 2\r\n\r\nok";
  ExpectInEverySplit(text, false, {ReaderState::kComplete, "ok", ""});

  Reading reading;
  reading.Feed(text);
  EXPECT_EQ(reading.reader.Head().statusCode, "201");
  EXPECT_EQ(reading.reader.Head().Find("X"), std::nullopt);
}

TEST(ResponseReader, InterimResponsesAreBounded) {
  const auto interims = [](int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "HTTP/1.1 100 Continue\r\n\r\n";
    return text;
  };
  const std::string final = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";
  const int limit = ResponseReader::kInterimLimit;
  ExpectInEverySplit(interims(limit) + final, false, {ReaderState::kComplete, "ok", ""});

  Reading flood;
  flood.Feed(interims(limit + 1) + final);
  EXPECT_EQ(flood.reader.State(), ReaderState::kFailed);
  EXPECT_EQ(flood.reader.Error(), ResponseError::kTooManyInterimResponses);
  EXPECT_FALSE(flood.reader.HasHead());
}

TEST(ResponseReader, CloseBeforeTheEndTruncates) {
  Reading reading;
  reading.Feed("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc");
  reading.reader.OnClose();
  EXPECT_EQ(reading.reader.State(), ReaderState::kTruncated);
  EXPECT_TRUE(reading.reader.HasHead());
  EXPECT_EQ(reading.reader.BodyReceived(), 3u);
  EXPECT_EQ(reading.reader.Error(), ResponseError::kNone);

  Reading chunked;
  chunked.Feed("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n");
  chunked.reader.OnClose();
  EXPECT_EQ(chunked.reader.State(), ReaderState::kTruncated);
  EXPECT_EQ(chunked.body, "abc");
}

TEST(ResponseReader, CloseBeforeTheHeadKeepsWhatCame) {
  Reading reading;
  reading.Feed("\r\ndone");
  reading.reader.OnClose();
  EXPECT_EQ(reading.reader.State(), ReaderState::kTruncated);
  EXPECT_FALSE(reading.reader.HasHead());
  EXPECT_EQ(reading.reader.UnparsedHead(), "done");
  EXPECT_EQ(reading.reader.Head(), ResponseHead{});
}

TEST(ResponseReader, HeadLargerThanTheLimitFails) {
  ResponseReader reader(64);
  const std::string head = "HTTP/1.1 200 OK\r\nX-Long: " + std::string(100, 'x') + "\r\n\r\n";
  for (const char c : head) {
    reader.Feed(AsBytes(std::string_view(&c, 1)), {});
    if (reader.State() == ReaderState::kFailed) break;
  }
  EXPECT_EQ(reader.State(), ReaderState::kFailed);
  EXPECT_EQ(reader.Error(), ResponseError::kHeadTooLarge);
  EXPECT_EQ(reader.ErrorText(), "response head too large");
  EXPECT_EQ(reader.UnparsedHead().size(), 64u);

  // A head of exactly the limit is fine.
  const std::string exact = "HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\n";
  ResponseReader fits(exact.size());
  fits.Feed(AsBytes(exact + "z"), {});
  EXPECT_TRUE(fits.Complete());
}

TEST(ResponseReader, ProtocolErrorsFailAndStopReading) {
  Reading reading;
  reading.Feed("HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\nbody");
  EXPECT_EQ(reading.reader.State(), ReaderState::kFailed);
  EXPECT_EQ(reading.reader.Error(), ResponseError::kInvalidContentLength);
  EXPECT_EQ(reading.reader.Head().statusCode, "200");
  reading.Feed("more");
  EXPECT_EQ(reading.body, "");
  EXPECT_EQ(reading.excess, "");

  Reading conflicting;
  conflicting.Feed("HTTP/1.1 200 OK\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n");
  EXPECT_EQ(conflicting.reader.Error(), ResponseError::kConflictingContentLength);

  Reading garbage;
  garbage.Feed("<html>\r\n\r\n");
  EXPECT_EQ(garbage.reader.Error(), ResponseError::kMalformedStatusLine);
  EXPECT_FALSE(garbage.reader.HasHead());

  Reading badChunk;
  badChunk.Feed("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab\r\nzz\r\n");
  EXPECT_EQ(badChunk.reader.Error(), ResponseError::kMalformedChunkSize);
  EXPECT_EQ(badChunk.body, "ab");
}

TEST(ResponseReader, BodyIsHandedOutWithoutCopying) {
  const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 8\r\n\r\n";
  const std::string first = head + "abc";
  const std::string second = "defgh";
  ResponseReader reader;
  std::vector<const std::byte*> seen;
  const BodySink sink = [&](std::span<const std::byte> bytes) { seen.push_back(bytes.data()); };
  reader.Feed(AsBytes(first), sink);
  reader.Feed(AsBytes(second), sink);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(reinterpret_cast<const char*>(seen[0]), first.data() + head.size());
  EXPECT_EQ(reinterpret_cast<const char*>(seen[1]), second.data());
}

TEST(ResponseReader, SinkFailureFailsTheReader) {
  ResponseReader reader;
  const BodySink diskFull = [](std::span<const std::byte>) {
    throw std::runtime_error("disk full");
  };
  EXPECT_THROW(reader.Feed(AsBytes("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabc"), diskFull),
               std::runtime_error);
  EXPECT_EQ(reader.State(), ReaderState::kFailed);
  EXPECT_EQ(reader.Error(), ResponseError::kBodySinkFailed);
}

}  // namespace
}  // namespace veldrask
