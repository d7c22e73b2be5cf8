#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace veldrask::testing {

// How a raw exchange with a server ended.
enum class PeerEnd {
  kReplyComplete,  // a whole HTTP reply arrived; the connection may still be open
  kClosed,         // the server closed (FIN)
  kReset,          // the server reset the connection (RST)
  kTimedOut,       // neither before the deadline
};

struct RawExchangeOptions {
  std::chrono::milliseconds timeout{10000};
  // Stop reading once the bytes form a complete HTTP reply (needed with keep-alive servers);
  // false reads until the server closes.
  bool stop_at_complete_reply = true;
  // Half-close (FIN) once the whole request is sent.
  bool shutdown_after_send = false;
};

struct RawExchange {
  std::string reply;  // every byte received
  PeerEnd end = PeerEnd::kTimedOut;
  std::size_t bytes_sent = 0;  // how much of the request the server took
  bool send_failed = false;    // the server stopped taking the request (EPIPE or reset)
};

// Connects to 127.0.0.1:port, sends request while reading whatever comes back (a server may
// answer early), and returns everything. Throws std::runtime_error when it cannot connect.
RawExchange ExchangeRaw(int port, std::string_view request, const RawExchangeOptions& options = {});

// The reply bytes to request; throws std::runtime_error unless a complete reply arrived or the
// server closed normally before the timeout.
std::string SendRaw(int port, std::string_view request,
                    std::chrono::milliseconds timeout = std::chrono::seconds(10));

// A parsed HTTP/1.x reply; interim 1xx replies are skipped.
struct HttpReply {
  std::string version;  // "HTTP/1.1"
  int status = 0;
  std::string reason;
  std::vector<std::pair<std::string, std::string>> headers;  // as sent, values trimmed
  std::string body;       // de-chunked when the reply was chunked
  bool complete = false;  // Content-Length or last chunk reached (not only a close)

  // The first header of that name, compared without case.
  std::optional<std::string> Header(std::string_view name) const;
};

// Length of the first complete final reply in bytes, interim replies included; nullopt while
// incomplete or when only the close can end it.
std::optional<std::size_t> CompleteReplyLength(std::string_view bytes);

// Parses a reply; a body without length or cut short is taken as far as it goes. Throws
// std::runtime_error when the head is missing or malformed.
HttpReply ParseHttpReply(std::string_view bytes);

// GET target with "Connection: close"; the parsed reply.
HttpReply HttpGet(int port, std::string_view target,
                  std::chrono::milliseconds timeout = std::chrono::seconds(10));

}  // namespace veldrask::testing
