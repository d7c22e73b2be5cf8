#include "http/body_framing.h"

#include <optional>

#include "http/header_values.h"

namespace veldrask {

FramingDecision FramingOf(const ResponseHead& head) {
  const std::optional<int> status = head.StatusNumber();
  if (status == 204 || status == 304 || head.IsInterim()) return {BodyFraming::kNoBody};
  if (HasTransferEncoding(head)) {
    return {IsChunked(head) ? BodyFraming::kChunked : BodyFraming::kUntilClose};
  }
  const ContentLengthValue contentLength = ContentLengthOf(head);
  if (contentLength.error != ResponseError::kNone) {
    return {BodyFraming::kUntilClose, 0, contentLength.error};
  }
  if (contentLength.length) return {BodyFraming::kContentLength, *contentLength.length};
  return {BodyFraming::kUntilClose};
}

}  // namespace veldrask
