#include "upload/reply_collector.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "backend_pieces.h"
#include "platform/tcp_socket.h"

namespace veldrask {
namespace {

class ReplyCollectorTest : public ::testing::Test {
 protected:
  void Add(std::string_view bytes) { reply.Add(AsBytes(bytes)); }

  ReplyCollector reply;
  const std::unique_ptr<CodePage> cp949Owned = testing::MakeKoreanCodePage();
  const CodePage& cp949 = *cp949Owned;
};

TEST_F(ReplyCollectorTest, ContentLengthBodyEndsTheReplyWithoutAClose) {
  Add("HTTP/1.1 200 OK\r\nContent-Le");
  Add("ngth: 4\r\n\r\ndo");
  EXPECT_FALSE(reply.Finished());
  Add("ne");
  EXPECT_TRUE(reply.Finished());
  EXPECT_EQ(reply.Text(cp949, cp949), "done");
}

TEST_F(ReplyCollectorTest, BodyWithoutFramingRunsUntilTheClose) {
  Add("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nok ");
  Add("then more");
  EXPECT_FALSE(reply.Finished());
  reply.ConnectionClosed();
  EXPECT_TRUE(reply.Finished());
  EXPECT_EQ(reply.Text(cp949, cp949), "ok then more");
}

TEST_F(ReplyCollectorTest, InterimResponseIsSkipped) {
  Add("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
  EXPECT_TRUE(reply.Finished());
  EXPECT_EQ(reply.Text(cp949, cp949), "ok");
}

TEST_F(ReplyCollectorTest, ReplyThatIsNotHttpIsKeptAsText) {
  Add("plain words");
  reply.ConnectionClosed();
  EXPECT_TRUE(reply.Finished());
  EXPECT_EQ(reply.Text(cp949, cp949), "plain words");

  ReplyCollector malformed;
  malformed.Add(AsBytes("garbage head\r\n\r\nafter the blank line"));
  malformed.ConnectionClosed();
  EXPECT_TRUE(malformed.Finished());
  EXPECT_EQ(malformed.Text(cp949, cp949), "after the blank line");

  // A stream that never becomes HTTP is kept up to a limit, not without end.
  ReplyCollector endless;
  const std::string megabyte(std::size_t{1} << 20, 'x');
  for (int i = 0; i < 3; ++i) endless.Add(AsBytes(megabyte));
  endless.ConnectionClosed();
  EXPECT_EQ(endless.Text(cp949, cp949).size(), megabyte.size());

  ReplyCollector empty;
  empty.ConnectionClosed();
  EXPECT_EQ(empty.Text(cp949, cp949), "");
}

TEST_F(ReplyCollectorTest, ABodyPastTheLimitIsCutThereAndEndsTheReply) {
  const struct {
    const char* reply;
    bool cut;
    const char* text;
  } cases[] = {
      {"HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nabcd", false, "abcd"},
      {"HTTP/1.1 200 OK\r\nContent-Length: 99\r\n\r\nabcde", true, "abcd"},
      {"HTTP/1.1 200 OK\r\n\r\nabcdefgh", true, "abcd"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n3\r\ndef\r\n", true,
       "abcd"},
  };
  for (const auto& c : cases) {
    ReplyCollector limited(4);
    limited.Add(AsBytes(c.reply));
    limited.Add(AsBytes("more"));
    EXPECT_EQ(limited.Cut(), c.cut) << c.reply;
    EXPECT_TRUE(limited.Finished()) << c.reply;
    EXPECT_EQ(limited.Text(cp949, cp949), c.text) << c.reply;
  }
}

TEST_F(ReplyCollectorTest, ATapTakesTheWholeBodyPastTheLimitOfTheKeptCopy) {
  ReplyCollector limited(4);
  std::string tapped;
  limited.SetBodyTap([&](std::span<const std::byte> bytes) {
    tapped.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  });
  limited.Add(AsBytes("HTTP/1.1 200 OK\r\n\r\nabcdefgh"));
  limited.Add(AsBytes("ijk"));
  EXPECT_FALSE(limited.Finished());
  EXPECT_FALSE(limited.Cut());
  limited.ConnectionClosed();
  EXPECT_TRUE(limited.Finished());
  EXPECT_EQ(tapped, "abcdefghijk");
  EXPECT_EQ(limited.Text(cp949, cp949), "abcd");
}

TEST_F(ReplyCollectorTest, BodyIsDecodedFromItsDeclaredCharset) {
  const std::string korean = "업로드 완료";
  const std::string inCp949 = cp949.Encode(korean);
  ASSERT_NE(inCp949, korean);

  EXPECT_EQ(DecodeReplyBody(korean, "UTF-8", cp949, cp949), korean);
  EXPECT_EQ(DecodeReplyBody(korean, "utf8", cp949, cp949), korean);
  for (const char* name : {"EUC-KR", "cp949", "KS_C_5601-1987"}) {
    EXPECT_EQ(DecodeReplyBody(inCp949, name, cp949, cp949), korean) << name;
  }
  EXPECT_EQ(DecodeReplyBody(inCp949, std::nullopt, cp949, cp949), korean);
  EXPECT_EQ(DecodeReplyBody("caf\xE9", "ISO-8859-1", cp949, cp949), "café");
  // Bytes that are not UTF-8 become replacement characters, never invalid text.
  EXPECT_EQ(DecodeReplyBody("a\xFF"
                            "b",
                            "utf-8", cp949, cp949),
            "a\xEF\xBF\xBD"
            "b");
}

TEST_F(ReplyCollectorTest, CharsetComesFromTheReplyHead) {
  const std::string korean = "한글 응답";
  Add("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=\"UTF-8\"\r\nContent-Length: " +
      std::to_string(korean.size()) + "\r\n\r\n" + korean);
  EXPECT_EQ(reply.Text(cp949, cp949), korean);

  ReplyCollector undeclared;
  const std::string bytes = cp949.Encode(korean);
  undeclared.Add(AsBytes("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(bytes.size()) +
                         "\r\n\r\n" + bytes));
  EXPECT_EQ(undeclared.Text(cp949, cp949), korean);
}

TEST_F(ReplyCollectorTest, TruncatedReplyGivesWhatArrived) {
  Add("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\npart");
  EXPECT_FALSE(reply.Finished());
  reply.ConnectionClosed();
  EXPECT_TRUE(reply.Finished());
  EXPECT_EQ(reply.Text(cp949, cp949), "part");
}

}  // namespace
}  // namespace veldrask
