#include "http/response_error.h"

namespace veldrask {

std::string_view DescribeResponseError(ResponseError error) {
  switch (error) {
    case ResponseError::kNone:
      return "no error";
    case ResponseError::kHeadTooLarge:
      return "response head too large";
    case ResponseError::kTooManyInterimResponses:
      return "too many interim (1xx) responses";
    case ResponseError::kMalformedStatusLine:
      return "malformed status line";
    case ResponseError::kMalformedHeaderLine:
      return "malformed header line";
    case ResponseError::kInvalidContentLength:
      return "invalid Content-Length";
    case ResponseError::kConflictingContentLength:
      return "conflicting Content-Length values";
    case ResponseError::kMalformedChunkSize:
      return "malformed chunk size";
    case ResponseError::kChunkSizeOverflow:
      return "chunk size too large";
    case ResponseError::kChunkLineTooLong:
      return "chunk size line too long";
    case ResponseError::kMalformedChunkEnd:
      return "chunk data not followed by a line end";
    case ResponseError::kTrailersTooLarge:
      return "chunked trailer section too large";
    case ResponseError::kBodySinkFailed:
      return "body could not be delivered";
  }
  return "unknown error";
}

}  // namespace veldrask
