#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>

#include "download/pending_file.h"
#include "http/response_reader.h"

namespace veldrask {

// Reads the response to one file's request from the connection's arrivals and writes its
// body through a PendingFile. Only a status 200 is accepted; the body ends as the response
// frames it (Content-Length, chunked, or the close), and whatever follows it is dropped. A
// response that ends early or cannot be read leaves no file behind.
class FileReceiver {
 public:
  enum class State {
    kAwaitingHead,
    kReceiving,
    kComplete,  // the body is in its file under the target name
    kRefused,   // the status was not 200; no file was made
    kFailed,    // cut short, unreadable or not writable; no file was kept
  };

  // Why a file failed. kTooLarge: a size past what the control's 32-bit signed counts hold.
  enum class Failure { kNone, kConnection, kCutShort, kUnreadable, kNotWritable, kTooLarge };

  // The largest body the control counts.
  static constexpr std::int32_t kLargestBody = std::numeric_limits<std::int32_t>::max();
  // "over 2147483647 bytes, …": the end of a kTooLarge failure's detail.
  static std::string OverTheLimit();

  explicit FileReceiver(PendingFile& file) : file_(file) {}

  // Reads an arrival; the body bytes in it go to the file at once.
  void Read(std::span<const std::byte> arrival);
  // The server closed the connection: a body that runs until the close is complete, any
  // other unfinished response is cut short.
  void ConnectionClosed();
  // The connection broke (refused, reset, unknown host), or the file cannot go on; detail
  // says why when the response's own error does not.
  void Fail(Failure why, std::string detail = {});

  State Current() const { return state_; }
  Failure Why() const { return failure_; }
  // The final head, once it has come (empty before).
  const ResponseHead& Head() const { return reader_.Head(); }
  // Why the response could not be read or kept, when it could not.
  std::string_view ReadError() const { return detail_.empty() ? reader_.ErrorText() : detail_; }
  bool Ended() const {
    return state_ == State::kComplete || state_ == State::kRefused || state_ == State::kFailed;
  }
  bool HeadAccepted() const { return accepted_; }
  // The status code as the status line gave it, once a head has come.
  const std::string& StatusCode() const { return reader_.Head().statusCode; }
  // The body length when Content-Length frames the body.
  std::optional<std::uint64_t> ContentLength() const { return reader_.ContentLength(); }
  // Body bytes written so far.
  std::int32_t BodyWritten() const { return bodyWritten_; }

 private:
  // Decides on the head once it has come; true when its body is to be written.
  bool AcceptHead();
  void WriteBody(std::span<const std::byte> bytes);
  // Commits a complete body, or fails when the reader says the response is not complete.
  void Settle();

  PendingFile& file_;
  ResponseReader reader_;
  State state_ = State::kAwaitingHead;
  Failure failure_ = Failure::kNone;
  std::string detail_;
  bool decided_ = false;
  bool accepted_ = false;
  std::int32_t bodyWritten_ = 0;
};

}  // namespace veldrask
