#pragma once

#include <string_view>

namespace veldrask {

// Why a response cannot be read. A connection that closes before the body's end is not one
// of these: the reader reports it as a truncated response.
enum class ResponseError {
  kNone,
  kHeadTooLarge,
  kTooManyInterimResponses,
  kMalformedStatusLine,
  kMalformedHeaderLine,
  kInvalidContentLength,
  kConflictingContentLength,
  kMalformedChunkSize,
  kChunkSizeOverflow,
  kChunkLineTooLong,
  kMalformedChunkEnd,
  kTrailersTooLarge,
  kBodySinkFailed,
};

// A short English description for diagnostics.
std::string_view DescribeResponseError(ResponseError error);

}  // namespace veldrask
