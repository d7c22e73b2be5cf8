#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "http/response_head.h"

namespace veldrask {

// How one file of a download session ended.
enum class DownloadEnd {
  kDone,         // the body is in its file
  kRefused,      // the status was not 200; the session stopped there
  kConnection,   // the connection could not be made or broke (refused, reset, unknown host)
  kCutShort,     // the server closed before the body's end
  kUnreadable,   // the response is not readable HTTP
  kNotWritable,  // the file could not be written
  kStopped,      // the window closed while the file was under way
  kNotAsked,     // the session stopped before this file's turn
};

struct DownloadReport {
  std::string key;   // the server path, as the page listed it
  std::string name;  // the name in the download folder
  DownloadEnd end = DownloadEnd::kDone;
  std::string statusCode;        // of the response, when a head came
  std::string reason;            // of the response's status line
  std::string detail;            // the socket's error or why the response could not be read
  std::int32_t errorNumber = 0;  // the socket's error number, for a failed connection
  std::int32_t announced = 0;    // the size the page listed
  std::optional<std::uint64_t> contentLength;  // the response's, when it framed the body so
  std::int32_t written = 0;                    // body bytes written
};

// What a host may follow of the transfers besides what the windows show: for a terminal's
// verbose output, time limits and a reply saved byte for byte. Calls come from inside the
// transfer windows' waits; an observer must not close windows or call the control from them.
class ExchangeObserver {
 public:
  // A connection to the server is being made, and has been made.
  virtual void Connecting() {}
  virtual void Connected() {}
  // The head of a request as it goes out (the control's text, before conversion).
  virtual void RequestHead(std::string_view /*head*/) {}
  // The heads of a proxy tunnel's CONNECT exchange: the request as it goes out, the proxy's
  // answer as it came, whatever its status.
  virtual void TunnelRequestHead(std::string_view /*head*/) {}
  virtual void TunnelAnswerHead(std::string_view /*head*/) {}
  // Bytes went out or came in.
  virtual void Progress() {}
  // The head of the final response.
  virtual void ResponseHeadRead(const ResponseHead& /*head*/) {}
  // The connection failed with the socket's error: not told for a drop after a whole answer,
  // which ends the exchange as a close does.
  virtual void SocketFailed(std::int32_t /*number*/, std::string_view /*description*/) {}
  // Whether the observer takes the whole body of an upload's reply through ReplyBody; the
  // exchange then runs to the reply's end rather than stopping where the copy kept in memory
  // is cut.
  virtual bool TakesReplyBody() const { return false; }
  // The body of the reply to an upload as it arrives, framing undone, bytes as sent.
  virtual void ReplyBody(std::span<const std::byte> /*bytes*/) {}
  // One file of a download session ended, or was never asked for.
  virtual void DownloadEnded(const DownloadReport& /*report*/) {}

 protected:
  ~ExchangeObserver() = default;
};

}  // namespace veldrask
