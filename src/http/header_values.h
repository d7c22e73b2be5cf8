#pragma once

// Readers of the header fields that decide how a body is framed and how its text is encoded.

#include <cstdint>
#include <optional>
#include <string>

#include "http/response_error.h"
#include "http/response_head.h"

namespace veldrask {

struct ContentLengthValue {
  std::optional<std::uint64_t> length;  // absent when no field is named Content-Length
  ResponseError error = ResponseError::kNone;
};

// The body length from the fields named Content-Length. Each value is a list of decimal
// numbers (RFC 9110 allows "5, 5"); every element must be digits only, fit 64 bits and equal
// all others. Otherwise the error is kInvalidContentLength or kConflictingContentLength.
ContentLengthValue ContentLengthOf(const ResponseHead& head);

bool HasTransferEncoding(const ResponseHead& head);

// Whether the last transfer coding of all Transfer-Encoding fields together is chunked.
bool IsChunked(const ResponseHead& head);

// The charset parameter of the first Content-Type field: name in any letter case, value
// quoted (backslash escapes undone) or not, as sent. Absent when missing or empty.
std::optional<std::string> CharsetOf(const ResponseHead& head);

}  // namespace veldrask
