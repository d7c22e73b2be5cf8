#include "http/chunked_decoder.h"

#include <algorithm>
#include <limits>

#include "base/text.h"
#include "http/field_text.h"

namespace veldrask {
namespace {

using http_text::IsOws;

}  // namespace

std::size_t ChunkedDecoder::Decode(std::span<const std::byte> input, const BodySink& sink) {
  std::size_t used = 0;
  while (used < input.size() && !Done() && !Failed()) {
    if (phase_ == Phase::kData) {
      const std::size_t available = input.size() - used;
      const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(size_, available));
      if (sink) sink(input.subspan(used, count));
      used += count;
      size_ -= count;
      if (size_ == 0) phase_ = Phase::kDataCr;
      continue;
    }
    Consume(static_cast<char>(input[used]));
    ++used;
  }
  return used;
}

void ChunkedDecoder::Consume(char c) {
  if (phase_ == Phase::kSize || phase_ == Phase::kAfterSize || phase_ == Phase::kExtension) {
    if (++lineLength_ > kMaxSizeLine) return Fail(ResponseError::kChunkLineTooLong);
  }
  if (phase_ == Phase::kTrailerStart || phase_ == Phase::kTrailerLine ||
      phase_ == Phase::kFinalLf) {
    if (++trailerBytes_ > kMaxTrailers) return Fail(ResponseError::kTrailersTooLarge);
  }
  switch (phase_) {
    case Phase::kSize: {
      const int digit = HexDigitValue(c);
      if (digit >= 0) {
        if (size_ > (std::numeric_limits<std::uint64_t>::max() >> 4)) {
          return Fail(ResponseError::kChunkSizeOverflow);
        }
        size_ = size_ << 4 | static_cast<std::uint64_t>(digit);
        ++sizeDigits_;
        return;
      }
      if (sizeDigits_ == 0) return Fail(ResponseError::kMalformedChunkSize);
      phase_ = Phase::kAfterSize;
      [[fallthrough]];
    }
    case Phase::kAfterSize:
      if (IsOws(c)) return;
      if (c == ';') {
        phase_ = Phase::kExtension;
      } else if (c == '\r') {
        phase_ = Phase::kSizeLineLf;
      } else if (c == '\n') {
        EndSizeLine();
      } else {
        Fail(ResponseError::kMalformedChunkSize);
      }
      return;
    case Phase::kExtension:
      if (c == '\n') EndSizeLine();
      return;
    case Phase::kSizeLineLf:
      if (c != '\n') return Fail(ResponseError::kMalformedChunkSize);
      return EndSizeLine();
    case Phase::kDataCr:
      if (c == '\r') {
        phase_ = Phase::kDataLf;
      } else if (c == '\n') {
        phase_ = Phase::kSize;
      } else {
        Fail(ResponseError::kMalformedChunkEnd);
      }
      return;
    case Phase::kDataLf:
      if (c != '\n') return Fail(ResponseError::kMalformedChunkEnd);
      phase_ = Phase::kSize;
      return;
    case Phase::kTrailerStart:
      if (c == '\n') {
        phase_ = Phase::kDone;
      } else {
        phase_ = c == '\r' ? Phase::kFinalLf : Phase::kTrailerLine;
      }
      return;
    case Phase::kTrailerLine:
      if (c == '\n') phase_ = Phase::kTrailerStart;
      return;
    case Phase::kFinalLf:
      // A CR that starts a trailer line rather than the final one.
      phase_ = c == '\n' ? Phase::kDone : Phase::kTrailerLine;
      return;
    case Phase::kData:
    case Phase::kDone:
    case Phase::kFailed:
      return;
  }
}

void ChunkedDecoder::EndSizeLine() {
  phase_ = size_ == 0 ? Phase::kTrailerStart : Phase::kData;
  sizeDigits_ = 0;
  lineLength_ = 0;
}

void ChunkedDecoder::Fail(ResponseError error) {
  phase_ = Phase::kFailed;
  error_ = error;
}

}  // namespace veldrask
