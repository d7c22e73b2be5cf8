#pragma once

#include <cstdint>

#include "http/response_error.h"
#include "http/response_head.h"

namespace veldrask {

// How the end of a response body is found.
enum class BodyFraming {
  kNoBody,         // 204 and 304 carry none, whatever their fields say
  kContentLength,  // exactly that many bytes
  kChunked,        // up to the last chunk and its trailers
  kUntilClose,     // everything until the server closes the connection
};

struct FramingDecision {
  BodyFraming kind = BodyFraming::kUntilClose;
  std::uint64_t length = 0;  // for kContentLength
  ResponseError error = ResponseError::kNone;
};

// The framing of a final response (RFC 9112, 6.3): Transfer-Encoding wins over
// Content-Length, so an unusable Content-Length next to it does not matter; a transfer
// coding that does not end in chunked leaves only the close to end the body.
FramingDecision FramingOf(const ResponseHead& head);

}  // namespace veldrask
