#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "http/body_framing.h"
#include "http/body_sink.h"
#include "http/chunked_decoder.h"
#include "http/head_collector.h"
#include "http/response_error.h"
#include "http/response_head.h"

namespace veldrask {

enum class ReaderState {
  kReadingHead,  // the final response's head has not ended yet
  kReadingBody,
  kComplete,   // the body ended as framed (for kUntilClose: by the close)
  kTruncated,  // the connection closed before the head or the body ended
  kFailed,     // see Error()
};

struct FeedResult {
  std::uint64_t bodyBytes = 0;  // handed to the sink from this arrival
  // The bytes of the arrival after the end of the response; they belong to no body.
  std::span<const std::byte> excess;
};

// Reads one HTTP/1.1 response from the arrivals of a connection, split anywhere. Interim
// 1xx heads are skipped; the final head is parsed once its empty line has come, and its
// body goes to the sink in views into the arrivals, so memory holds one head at most.
class ResponseReader {
 public:
  static constexpr std::size_t kDefaultHeadLimit = 64 * 1024;
  // Interim heads accepted before the final one; a server sending more is never going to
  // answer, and reading them would keep the reader busy forever.
  static constexpr int kInterimLimit = 16;

  explicit ResponseReader(std::size_t headLimit = kDefaultHeadLimit) : collector_(headLimit) {}

  // Reads an arrival. sink may be empty to drop the body. An exception from the sink leaves
  // the reader failed (kBodySinkFailed) and goes on to the caller. After the end of the
  // response, every byte is excess; after a failure, nothing is read.
  FeedResult Feed(std::span<const std::byte> arrival, const BodySink& sink);

  // The server closed the connection: completes a body that runs until the close, and
  // truncates a response that has not ended.
  void OnClose();

  ReaderState State() const { return state_; }
  bool Complete() const { return state_ == ReaderState::kComplete; }

  // Whether the final head has been parsed; Head() is empty before.
  bool HasHead() const { return hasHead_; }
  const ResponseHead& Head() const { return head_; }
  BodyFraming Framing() const { return framing_.kind; }
  // The body length when Content-Length frames the body (not with chunked or no body).
  std::optional<std::uint64_t> ContentLength() const;
  std::uint64_t BodyReceived() const { return bodyReceived_; }

  ResponseError Error() const { return error_; }
  std::string_view ErrorText() const { return DescribeResponseError(error_); }

  // The bytes of a head still waiting for its empty line (or that could not be parsed),
  // e.g. a reply that never sent a head before it closed.
  std::string_view UnparsedHead() const { return collector_.Text(); }

 private:
  void ReadHead(std::span<const std::byte>& rest);
  void StartBody();
  void ReadBody(std::span<const std::byte>& rest, const BodySink& sink, FeedResult& result);
  void Fail(ResponseError error);

  HeadCollector collector_;
  ChunkedDecoder chunked_;
  ReaderState state_ = ReaderState::kReadingHead;
  ResponseHead head_;
  bool hasHead_ = false;
  int interimCount_ = 0;
  FramingDecision framing_;
  std::uint64_t bodyReceived_ = 0;
  ResponseError error_ = ResponseError::kNone;
};

}  // namespace veldrask
