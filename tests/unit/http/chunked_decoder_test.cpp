#include "http/chunked_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/tcp_socket.h"

namespace veldrask {
namespace {

struct Decoded {
  std::string body;
  std::size_t used = 0;
  ChunkedDecoder decoder;
};

// Feeds text in pieces of pieceSize bytes until the decoder stops taking them.
Decoded DecodeInPieces(std::string_view text, std::size_t pieceSize) {
  Decoded decoded;
  const BodySink sink = [&](std::span<const std::byte> bytes) {
    decoded.body.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  };
  while (decoded.used < text.size()) {
    const std::string_view piece = text.substr(decoded.used, pieceSize);
    const std::size_t used = decoded.decoder.Decode(AsBytes(piece), sink);
    decoded.used += used;
    if (used < piece.size()) break;
  }
  return decoded;
}

ResponseError ErrorOf(std::string_view text) {
  const Decoded decoded = DecodeInPieces(text, text.size());
  EXPECT_TRUE(decoded.decoder.Failed()) << text;
  return decoded.decoder.Error();
}

TEST(ChunkedDecoder, DecodesInEverySplit) {
  const std::string text =
      "5;name=\"va;lue\"\r\nHello\r\n1A\r\n, wonderful chunked world!\r\n"
      "0\r\nX-Trailer: 1\r\n\r\nNEXT";
  for (std::size_t pieceSize = 1; pieceSize <= text.size(); ++pieceSize) {
    const Decoded decoded = DecodeInPieces(text, pieceSize);
    EXPECT_TRUE(decoded.decoder.Done()) << pieceSize;
    EXPECT_EQ(decoded.body, "Hello, wonderful chunked world!") << pieceSize;
    EXPECT_EQ(decoded.used, text.size() - 4) << pieceSize;
  }
}

TEST(ChunkedDecoder, LenientLineEndsAndSizeLineWhitespace) {
  const Decoded decoded = DecodeInPieces("3 \t;x\nabc\nA \r\n0123456789\r\n0\n\n", 64);
  EXPECT_TRUE(decoded.decoder.Done());
  EXPECT_EQ(decoded.body, "abc0123456789");
  EXPECT_TRUE(DecodeInPieces("0\r\n\r\n", 64).decoder.Done());
  EXPECT_FALSE(DecodeInPieces("0\r\nTrailer: x\r\n", 64).decoder.Done());
}

TEST(ChunkedDecoder, HandsOutViewsIntoTheInput) {
  const std::string text = "4\r\nabcd\r\n0\r\n\r\n";
  ChunkedDecoder decoder;
  const std::byte* seen = nullptr;
  decoder.Decode(AsBytes(text), [&](std::span<const std::byte> bytes) { seen = bytes.data(); });
  EXPECT_EQ(reinterpret_cast<const char*>(seen), text.data() + 3);
}

TEST(ChunkedDecoder, MalformedSizesAndEnds) {
  EXPECT_EQ(ErrorOf("x\r\n"), ResponseError::kMalformedChunkSize);
  EXPECT_EQ(ErrorOf("\r\n"), ResponseError::kMalformedChunkSize);
  EXPECT_EQ(ErrorOf(";ext\r\n"), ResponseError::kMalformedChunkSize);
  EXPECT_EQ(ErrorOf("-1\r\n"), ResponseError::kMalformedChunkSize);
  EXPECT_EQ(ErrorOf("5 x\r\n"), ResponseError::kMalformedChunkSize);
  EXPECT_EQ(ErrorOf("5\rx"), ResponseError::kMalformedChunkSize);
  EXPECT_EQ(ErrorOf("3\r\nabcX"), ResponseError::kMalformedChunkEnd);
  EXPECT_EQ(ErrorOf("3\r\nabc\rX"), ResponseError::kMalformedChunkEnd);
  EXPECT_EQ(ErrorOf("10000000000000000\r\n"), ResponseError::kChunkSizeOverflow);
  EXPECT_FALSE(DecodeInPieces("ffffffffffffffff\r\n", 64).decoder.Failed());
}

TEST(ChunkedDecoder, SkippedPartsAreBounded) {
  const std::string longExtension =
      "1;" + std::string(ChunkedDecoder::kMaxSizeLine, 'e') + "\r\nx\r\n0\r\n\r\n";
  EXPECT_EQ(ErrorOf(longExtension), ResponseError::kChunkLineTooLong);
  EXPECT_EQ(ErrorOf(std::string(ChunkedDecoder::kMaxSizeLine + 1, '0')),
            ResponseError::kChunkLineTooLong);
  std::string trailers = "0\r\n";
  while (trailers.size() < ChunkedDecoder::kMaxTrailers + 16) trailers += "X-Trailer: 123456\r\n";
  EXPECT_EQ(ErrorOf(trailers), ResponseError::kTrailersTooLarge);
}

}  // namespace
}  // namespace veldrask
