#include "http/response_reader.h"

#include <algorithm>
#include <utility>

namespace veldrask {

FeedResult ResponseReader::Feed(std::span<const std::byte> arrival, const BodySink& sink) {
  FeedResult result;
  std::span<const std::byte> rest = arrival;
  try {
    while (!rest.empty()) {
      switch (state_) {
        case ReaderState::kReadingHead:
          ReadHead(rest);
          break;
        case ReaderState::kReadingBody:
          ReadBody(rest, sink, result);
          break;
        case ReaderState::kComplete:
        case ReaderState::kTruncated:
          result.excess = rest;
          return result;
        case ReaderState::kFailed:
          return result;
      }
    }
  } catch (...) {
    Fail(ResponseError::kBodySinkFailed);
    throw;
  }
  return result;
}

void ResponseReader::OnClose() {
  if (state_ == ReaderState::kReadingHead) {
    state_ = ReaderState::kTruncated;
  } else if (state_ == ReaderState::kReadingBody) {
    state_ = framing_.kind == BodyFraming::kUntilClose ? ReaderState::kComplete
                                                       : ReaderState::kTruncated;
  }
}

std::optional<std::uint64_t> ResponseReader::ContentLength() const {
  if (!hasHead_ || framing_.kind != BodyFraming::kContentLength) return std::nullopt;
  return framing_.length;
}

void ResponseReader::ReadHead(std::span<const std::byte>& rest) {
  rest = rest.subspan(collector_.Take(rest));
  if (collector_.TooLarge()) return Fail(ResponseError::kHeadTooLarge);
  if (!collector_.Complete()) return;
  ParsedHead parsed = ParseResponseHead(collector_.Text());
  if (parsed.error != ResponseError::kNone) return Fail(parsed.error);
  collector_.Reset();
  if (parsed.head.IsInterim()) {  // a final head follows
    if (++interimCount_ > kInterimLimit) Fail(ResponseError::kTooManyInterimResponses);
    return;
  }
  head_ = std::move(parsed.head);
  hasHead_ = true;
  StartBody();
}

void ResponseReader::StartBody() {
  framing_ = FramingOf(head_);
  if (framing_.error != ResponseError::kNone) return Fail(framing_.error);
  const bool empty = framing_.kind == BodyFraming::kNoBody ||
                     (framing_.kind == BodyFraming::kContentLength && framing_.length == 0);
  state_ = empty ? ReaderState::kComplete : ReaderState::kReadingBody;
}

void ResponseReader::ReadBody(std::span<const std::byte>& rest, const BodySink& sink,
                              FeedResult& result) {
  const auto deliver = [&](std::span<const std::byte> bytes) {
    if (bytes.empty()) return;
    bodyReceived_ += bytes.size();
    result.bodyBytes += bytes.size();
    if (sink) sink(bytes);
  };
  switch (framing_.kind) {
    case BodyFraming::kContentLength: {
      const std::uint64_t remaining = framing_.length - bodyReceived_;
      const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, rest.size()));
      deliver(rest.first(count));
      rest = rest.subspan(count);
      if (bodyReceived_ == framing_.length) state_ = ReaderState::kComplete;
      return;
    }
    case BodyFraming::kChunked:
      rest = rest.subspan(chunked_.Decode(rest, deliver));
      if (chunked_.Failed()) return Fail(chunked_.Error());
      if (chunked_.Done()) state_ = ReaderState::kComplete;
      return;
    case BodyFraming::kUntilClose:
      deliver(rest);
      rest = {};
      return;
    case BodyFraming::kNoBody:
      state_ = ReaderState::kComplete;
      return;
  }
}

void ResponseReader::Fail(ResponseError error) {
  state_ = ReaderState::kFailed;
  error_ = error;
}

}  // namespace veldrask
