#include "http/response_head.h"

#include <gtest/gtest.h>

#include <string>

#include "http/body_framing.h"
#include "http/header_values.h"

namespace veldrask {
namespace {

ResponseHead Parse(std::string_view text) {
  ParsedHead parsed = ParseResponseHead(text);
  EXPECT_EQ(parsed.error, ResponseError::kNone) << text;
  return parsed.head;
}

ResponseError ParseError(std::string_view text) {
  return ParseResponseHead(text).error;
}

ResponseHead WithFields(std::string_view fields) {
  return Parse("HTTP/1.1 200 OK\r\n" + std::string(fields) + "\r\n");
}

TEST(ResponseHead, StatusLine) {
  ResponseHead head = Parse("HTTP/1.1 404 Not Found\r\n\r\n");
  EXPECT_EQ(head.protocol, "HTTP/1.1");
  EXPECT_EQ(head.statusCode, "404");
  EXPECT_EQ(head.reason, "Not Found");
  EXPECT_EQ(head.StatusNumber(), 404);

  head = Parse("HTTP/1.1 200\r\n\r\n");
  EXPECT_EQ(head.statusCode, "200");
  EXPECT_EQ(head.reason, "");
  EXPECT_EQ(Parse("HTTP/1.0  200\t OK \r\n").statusCode, "200");
  EXPECT_EQ(Parse("HTTP/1.0  200\t OK \r\n").reason, "OK");
  EXPECT_EQ(Parse("HTTP/1.1 200\r\r\n").statusCode, "200");
  EXPECT_EQ(Parse("HTTP/1.1 200 OK\nServer: x\n\n").Find("server"), "x");

  EXPECT_EQ(ParseError("HTTP/1.1\r\n\r\n"), ResponseError::kMalformedStatusLine);
  EXPECT_EQ(ParseError("ICY 200 OK\r\n\r\n"), ResponseError::kMalformedStatusLine);
  EXPECT_EQ(ParseError(""), ResponseError::kMalformedStatusLine);
}

TEST(ResponseHead, StatusNumberAndInterim) {
  ResponseHead head;
  for (const auto& [code, number] : {std::pair{"100", 100}, {"199", 199}, {"200", 200}}) {
    head.statusCode = code;
    EXPECT_EQ(head.StatusNumber(), number);
    EXPECT_EQ(head.IsInterim(), number < 200);
  }
  for (const char* code : {"20x", "2000", "20", "-20"}) {
    head.statusCode = code;
    EXPECT_EQ(head.StatusNumber(), std::nullopt) << code;
    EXPECT_FALSE(head.IsInterim());
  }
}

TEST(ResponseHead, HeaderLines) {
  const ResponseHead head = WithFields(
      "content-LENGTH:  12 \r\nX-Empty:\r\nX-Tabs:\tab\t\r\nX-Folded: a\r\n  b\r\n\tc\r\n"
      "Set-Cookie: 1\r\nSet-Cookie: 2\r\n");
  EXPECT_EQ(head.Find("Content-Length"), "12");
  EXPECT_EQ(head.Find("x-empty"), "");
  EXPECT_EQ(head.Find("X-Tabs"), "ab");
  EXPECT_EQ(head.Find("X-Folded"), "a b c");
  EXPECT_EQ(head.Find("Set-Cookie"), "1");
  EXPECT_EQ(head.FindAll("set-cookie"), (std::vector<std::string_view>{"1", "2"}));
  EXPECT_EQ(head.Find("Content"), std::nullopt);
  EXPECT_EQ(head.fields.front().name, "content-LENGTH");

  // Lines after the empty line are not part of the head.
  EXPECT_EQ(WithFields("A: 1\r\n\r\nB: 2").Find("B"), std::nullopt);
}

TEST(ResponseHead, MalformedHeaderLines) {
  EXPECT_EQ(ParseError("HTTP/1.1 200 OK\r\nNo colon here\r\n"),
            ResponseError::kMalformedHeaderLine);
  EXPECT_EQ(ParseError("HTTP/1.1 200 OK\r\nName : v\r\n"), ResponseError::kMalformedHeaderLine);
  EXPECT_EQ(ParseError("HTTP/1.1 200 OK\r\n: v\r\n"), ResponseError::kMalformedHeaderLine);
  EXPECT_EQ(ParseError("HTTP/1.1 200 OK\r\n folded: v\r\n"), ResponseError::kMalformedHeaderLine);
}

// The text form is how the control DLL hands a head to its host, which parses it back.
TEST(ResponseHead, TextReadsBackAsTheSameHead) {
  for (const char* text : {"HTTP/1.1 200 OK\r\n\r\n", "HTTP/1.0 404\r\n\r\n",
                           "HTTP/1.1 302 Found it\r\nLocation: /a b\r\nX:\r\nx-y:  folded\r\n"
                           " more\r\n\r\n"}) {
    const ResponseHead head = Parse(text);
    EXPECT_EQ(Parse(ResponseHeadText(head)), head) << text;
  }
}

TEST(HeaderValues, ContentLengthIsStrict) {
  EXPECT_EQ(ContentLengthOf(WithFields("")).length, std::nullopt);
  EXPECT_EQ(ContentLengthOf(WithFields("")).error, ResponseError::kNone);
  EXPECT_EQ(ContentLengthOf(WithFields("Content-Length: 0")).length, 0u);
  EXPECT_EQ(ContentLengthOf(WithFields("CONTENT-LENGTH: 1234")).length, 1234u);
  EXPECT_EQ(ContentLengthOf(WithFields("Content-Length: 18446744073709551615")).length,
            18446744073709551615u);
  // Only a field of that name counts, not text that merely holds it.
  EXPECT_EQ(ContentLengthOf(WithFields("X-Content-Length: 5\r\nX: Content-Length: 7")).length,
            std::nullopt);
  for (const char* bad : {"-1", "+5", "12a", "0x10", "", "1 2", "18446744073709551616", "5,"}) {
    const ContentLengthValue value =
        ContentLengthOf(WithFields("Content-Length: " + std::string(bad)));
    EXPECT_EQ(value.error, ResponseError::kInvalidContentLength) << bad;
    EXPECT_EQ(value.length, std::nullopt) << bad;
  }
}

TEST(HeaderValues, RepeatedContentLengthMustAgree) {
  EXPECT_EQ(ContentLengthOf(WithFields("Content-Length: 5, 5")).length, 5u);
  EXPECT_EQ(ContentLengthOf(WithFields("Content-Length: 5\r\ncontent-length: 5")).length, 5u);
  EXPECT_EQ(ContentLengthOf(WithFields("Content-Length: 5, 6")).error,
            ResponseError::kConflictingContentLength);
  EXPECT_EQ(ContentLengthOf(WithFields("Content-Length: 5\r\nContent-Length: 6")).error,
            ResponseError::kConflictingContentLength);
}

TEST(HeaderValues, ChunkedMustBeTheLastCoding) {
  EXPECT_TRUE(IsChunked(WithFields("Transfer-Encoding: chunked")));
  EXPECT_TRUE(IsChunked(WithFields("transfer-encoding: gzip, Chunked")));
  EXPECT_TRUE(IsChunked(WithFields("Transfer-Encoding: gzip\r\nTransfer-Encoding: chunked")));
  EXPECT_FALSE(IsChunked(WithFields("Transfer-Encoding: chunked, gzip")));
  EXPECT_FALSE(IsChunked(WithFields("X-Transfer-Encoding: chunked")));
  EXPECT_FALSE(HasTransferEncoding(WithFields("Content-Length: 3")));
}

TEST(HeaderValues, Charset) {
  const auto charset = [](std::string_view contentType) {
    return CharsetOf(WithFields("Content-Type: " + std::string(contentType)));
  };
  EXPECT_EQ(charset("text/html; charset=euc-kr"), "euc-kr");
  EXPECT_EQ(charset("text/html;CHARSET=\"UTF-8\""), "UTF-8");
  EXPECT_EQ(charset("text/plain; format=flowed; Charset = ks_c_5601-1987 "), "ks_c_5601-1987");
  EXPECT_EQ(charset("text/plain; name=\"a;charset=x\"; charset=y"), "y");
  EXPECT_EQ(charset("text/plain; flag; charset=\"a\\\"b\""), "a\"b");
  EXPECT_EQ(charset("text/html; xcharset=utf-8"), std::nullopt);
  EXPECT_EQ(charset("text/html"), std::nullopt);
  EXPECT_EQ(charset("text/html; charset="), std::nullopt);
  EXPECT_EQ(CharsetOf(WithFields("X-Type: text/html; charset=utf-8")), std::nullopt);
}

TEST(BodyFraming, FollowsTheMessageLengthRules) {
  FramingDecision framing = FramingOf(WithFields("Content-Length: 10"));
  EXPECT_EQ(framing.kind, BodyFraming::kContentLength);
  EXPECT_EQ(framing.length, 10u);
  EXPECT_EQ(FramingOf(WithFields("")).kind, BodyFraming::kUntilClose);
  EXPECT_EQ(FramingOf(WithFields("Transfer-Encoding: gzip\r\nContent-Length: 3")).kind,
            BodyFraming::kUntilClose);
  EXPECT_EQ(FramingOf(WithFields("Content-Length: 3\r\nTransfer-Encoding: chunked")).kind,
            BodyFraming::kChunked);
  framing = FramingOf(WithFields("Content-Length: -3\r\nTransfer-Encoding: chunked"));
  EXPECT_EQ(framing.kind, BodyFraming::kChunked);
  EXPECT_EQ(framing.error, ResponseError::kNone);
  EXPECT_EQ(FramingOf(WithFields("Content-Length: x")).error, ResponseError::kInvalidContentLength);
  EXPECT_EQ(FramingOf(Parse("HTTP/1.1 204 No Content\r\nContent-Length: 5\r\n")).kind,
            BodyFraming::kNoBody);
  EXPECT_EQ(FramingOf(Parse("HTTP/1.1 304 Not Modified\r\nTransfer-Encoding: chunked\r\n")).kind,
            BodyFraming::kNoBody);
}

}  // namespace
}  // namespace veldrask
