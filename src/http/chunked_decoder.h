#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "http/body_sink.h"
#include "http/response_error.h"

namespace veldrask {

// Decodes a chunked body (RFC 9112, 7.1) as it arrives, in any split. Chunk data goes to the
// sink as views into the input, never copied; size lines, extensions and trailers are read
// and dropped without being stored. Line ends are LF with an optional CR, as in the head.
class ChunkedDecoder {
 public:
  // Bounds on what is skipped, so that a stream that is not chunked fails soon.
  static constexpr std::size_t kMaxSizeLine = 4096;
  static constexpr std::size_t kMaxTrailers = 64 * 1024;

  // Decodes from the start of input until it is used up, the body has ended or an error
  // is found; returns how many bytes were used (the rest belongs after the body).
  std::size_t Decode(std::span<const std::byte> input, const BodySink& sink);

  bool Done() const { return phase_ == Phase::kDone; }
  bool Failed() const { return phase_ == Phase::kFailed; }
  ResponseError Error() const { return error_; }

 private:
  enum class Phase {
    kSize,        // hexadecimal digits of a chunk size
    kAfterSize,   // whitespace after the digits, up to ";" or the line end
    kExtension,   // a chunk extension, skipped up to the line end
    kSizeLineLf,  // the LF after the size line's CR
    kData,        // chunk data
    kDataCr,      // the line end after the data
    kDataLf,
    kTrailerStart,  // the start of a trailer line, or of the final empty line
    kTrailerLine,   // a trailer field, skipped up to the line end
    kFinalLf,       // the LF after the final empty line's CR
    kDone,
    kFailed,
  };

  // Handles one byte of anything but chunk data.
  void Consume(char c);
  void EndSizeLine();
  void Fail(ResponseError error);

  Phase phase_ = Phase::kSize;
  std::uint64_t size_ = 0;  // the size being read, then the data still to come
  std::size_t sizeDigits_ = 0;
  std::size_t lineLength_ = 0;  // bytes of the current size line
  std::size_t trailerBytes_ = 0;
  ResponseError error_ = ResponseError::kNone;
};

}  // namespace veldrask
