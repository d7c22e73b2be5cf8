#include "support/raw_http.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <stdexcept>

namespace veldrask::testing {
namespace {

class Socket {
 public:
  Socket() : fd_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)) {
    if (fd_ < 0) throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
  }
  ~Socket() { close(fd_); }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;

  int fd() const { return fd_; }

 private:
  int fd_;
};

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, 60000));
}

void Connect(const Socket& socket, int port, Clock::time_point deadline) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(socket.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
    return;
  }
  if (errno != EINPROGRESS) {
    throw std::runtime_error("connect to port " + std::to_string(port) + ": " +
                             std::strerror(errno));
  }
  pollfd waiting{socket.fd(), POLLOUT, 0};
  if (poll(&waiting, 1, RemainingMs(deadline)) != 1) {
    throw std::runtime_error("connect to port " + std::to_string(port) + " timed out");
  }
  int error = 0;
  socklen_t length = sizeof error;
  getsockopt(socket.fd(), SOL_SOCKET, SO_ERROR, &error, &length);
  if (error != 0) {
    throw std::runtime_error("connect to port " + std::to_string(port) + ": " +
                             std::strerror(error));
  }
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

struct Head {
  std::string version;
  int status = 0;
  std::string reason;
  std::vector<std::pair<std::string, std::string>> headers;
  std::size_t length = 0;  // of the head, blank line included
};

// The head at the start of bytes, or nullopt while its blank line has not arrived.
std::optional<Head> ParseHead(std::string_view bytes) {
  const std::size_t end = bytes.find("\r\n\r\n");
  if (end == std::string_view::npos) return std::nullopt;
  Head head;
  head.length = end + 4;
  std::string_view rest = bytes.substr(0, end + 2);
  const std::size_t line_end = rest.find("\r\n");
  const std::string_view status_line = rest.substr(0, line_end);
  rest.remove_prefix(line_end + 2);
  const std::size_t space = status_line.find(' ');
  if (space == std::string_view::npos || status_line.substr(0, 5) != "HTTP/") {
    throw std::runtime_error("not an HTTP status line: " + std::string(status_line));
  }
  head.version = status_line.substr(0, space);
  const std::string_view code = status_line.substr(space + 1, 3);
  const auto [ptr, ec] = std::from_chars(code.data(), code.data() + code.size(), head.status);
  if (ec != std::errc() || ptr != code.data() + code.size()) {
    throw std::runtime_error("bad status code in: " + std::string(status_line));
  }
  if (status_line.size() > space + 4) head.reason = status_line.substr(space + 5);
  while (!rest.empty()) {
    const std::size_t next = rest.find("\r\n");
    const std::string_view line = rest.substr(0, next);
    rest.remove_prefix(next + 2);
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
      throw std::runtime_error("bad header: " + std::string(line));
    head.headers.emplace_back(line.substr(0, colon), Trim(line.substr(colon + 1)));
  }
  return head;
}

const std::string* FindHeader(const std::vector<std::pair<std::string, std::string>>& headers,
                              std::string_view name) {
  for (const auto& [key, value] : headers) {
    if (EqualsIgnoringCase(key, name)) return &value;
  }
  return nullptr;
}

bool IsChunked(const Head& head) {
  const std::string* coding = FindHeader(head.headers, "Transfer-Encoding");
  if (coding == nullptr) return false;
  std::string lower(*coding);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower.find("chunked") != std::string::npos;
}

// De-chunks body into out (when given) as far as it goes; complete once the last chunk and the
// trailer's blank line arrived, with consumed then the length of the chunked body.
void Dechunk(std::string_view body, std::string* out, bool& complete, std::size_t& consumed) {
  std::size_t pos = 0;
  complete = false;
  consumed = body.size();
  for (;;) {
    const std::size_t line_end = body.find("\r\n", pos);
    if (line_end == std::string_view::npos) return;
    std::string_view size_text = body.substr(pos, line_end - pos);
    size_text = Trim(size_text.substr(0, size_text.find(';')));
    std::size_t size = 0;
    const char* size_end = size_text.data() + size_text.size();
    const auto [ptr, ec] = std::from_chars(size_text.data(), size_end, size, 16);
    if (ec != std::errc() || ptr != size_end || size_text.empty()) {
      throw std::runtime_error("bad chunk size: " + std::string(size_text));
    }
    pos = line_end + 2;
    if (size == 0) break;
    if (body.size() - pos < size) {
      if (out != nullptr) out->append(body.substr(pos));
      return;
    }
    if (out != nullptr) out->append(body.substr(pos, size));
    pos += size + 2;
    if (pos > body.size()) return;
  }
  // Trailer fields, each ending in CRLF, up to an empty line.
  for (;;) {
    const std::size_t line_end = body.find("\r\n", pos);
    if (line_end == std::string_view::npos) return;
    const bool blank = line_end == pos;
    pos = line_end + 2;
    if (blank) {
      complete = true;
      consumed = pos;
      return;
    }
  }
}

// The final (non-1xx) reply's head and where it starts.
std::optional<std::pair<Head, std::size_t>> FinalHead(std::string_view bytes) {
  std::size_t start = 0;
  for (;;) {
    std::optional<Head> head = ParseHead(bytes.substr(start));
    if (!head) return std::nullopt;
    if (head->status >= 200 || head->status < 100) return std::make_pair(*head, start);
    start += head->length;
  }
}

bool HasNoBody(int status) {
  return status == 204 || status == 304;
}

}  // namespace

std::optional<std::string> HttpReply::Header(std::string_view name) const {
  if (const std::string* value = FindHeader(headers, name)) return *value;
  return std::nullopt;
}

std::optional<std::size_t> CompleteReplyLength(std::string_view bytes) {
  try {
    const auto found = FinalHead(bytes);
    if (!found) return std::nullopt;
    const auto& [head, start] = *found;
    const std::size_t body_start = start + head.length;
    if (HasNoBody(head.status)) return body_start;
    const std::string_view body = bytes.substr(body_start);
    if (IsChunked(head)) {
      bool complete = false;
      std::size_t consumed = 0;
      Dechunk(body, nullptr, complete, consumed);
      return complete ? std::optional<std::size_t>(body_start + consumed) : std::nullopt;
    }
    const std::string* length_text = FindHeader(head.headers, "Content-Length");
    if (length_text == nullptr) return std::nullopt;
    std::size_t length = 0;
    const char* end = length_text->data() + length_text->size();
    const auto [ptr, ec] = std::from_chars(length_text->data(), end, length);
    if (ec != std::errc() || ptr != end || body.size() < length) return std::nullopt;
    return body_start + length;
  } catch (const std::runtime_error&) {
    return std::nullopt;  // not HTTP as far as this can tell: only the close ends it
  }
}

HttpReply ParseHttpReply(std::string_view bytes) {
  const auto found = FinalHead(bytes);
  if (!found)
    throw std::runtime_error("no complete HTTP head in: " + std::string(bytes.substr(0, 500)));
  const auto& [head, start] = *found;
  HttpReply reply;
  reply.version = head.version;
  reply.status = head.status;
  reply.reason = head.reason;
  reply.headers = head.headers;
  const std::string_view body = bytes.substr(start + head.length);
  if (HasNoBody(head.status)) {
    reply.complete = true;
  } else if (IsChunked(head)) {
    std::size_t consumed = 0;
    Dechunk(body, &reply.body, reply.complete, consumed);
  } else if (const std::string* length_text = FindHeader(head.headers, "Content-Length")) {
    std::size_t length = 0;
    const char* end = length_text->data() + length_text->size();
    const auto [ptr, ec] = std::from_chars(length_text->data(), end, length);
    if (ec != std::errc() || ptr != end) {
      throw std::runtime_error("bad Content-Length: " + *length_text);
    }
    reply.body = body.substr(0, length);
    reply.complete = body.size() >= length;
  } else {
    reply.body = body;
  }
  return reply;
}

RawExchange ExchangeRaw(int port, std::string_view request, const RawExchangeOptions& options) {
  const auto deadline = Clock::now() + options.timeout;
  Socket socket;
  Connect(socket, port, deadline);
  RawExchange exchange;
  bool sending = true;
  if (request.empty() && options.shutdown_after_send) shutdown(socket.fd(), SHUT_WR);
  if (request.empty()) sending = false;
  char buffer[1 << 16];
  while (Clock::now() < deadline) {
    pollfd waiting{socket.fd(), static_cast<short>(POLLIN | (sending ? POLLOUT : 0)), 0};
    if (poll(&waiting, 1, RemainingMs(deadline)) <= 0) continue;
    if (sending && (waiting.revents & (POLLOUT | POLLERR | POLLHUP)) != 0) {
      const std::string_view rest = request.substr(exchange.bytes_sent);
      const ssize_t sent = send(socket.fd(), rest.data(), rest.size(), MSG_NOSIGNAL);
      if (sent > 0) {
        exchange.bytes_sent += static_cast<std::size_t>(sent);
        if (exchange.bytes_sent == request.size()) {
          sending = false;
          if (options.shutdown_after_send) shutdown(socket.fd(), SHUT_WR);
        }
      } else if (sent < 0 && errno != EAGAIN && errno != EINTR) {
        // The server no longer takes the request; what it answered may still be readable.
        exchange.send_failed = true;
        sending = false;
      }
    }
    if ((waiting.revents & (POLLIN | POLLERR | POLLHUP)) == 0) continue;
    const ssize_t received = recv(socket.fd(), buffer, sizeof buffer, 0);
    if (received > 0) {
      exchange.reply.append(buffer, static_cast<std::size_t>(received));
      if (options.stop_at_complete_reply && CompleteReplyLength(exchange.reply)) {
        exchange.end = PeerEnd::kReplyComplete;
        return exchange;
      }
    } else if (received == 0) {
      exchange.end = PeerEnd::kClosed;
      return exchange;
    } else if (errno == ECONNRESET || errno == EPIPE) {
      exchange.end = PeerEnd::kReset;
      return exchange;
    } else if (errno != EAGAIN && errno != EINTR) {
      throw std::runtime_error(std::string("recv: ") + std::strerror(errno));
    }
  }
  exchange.end = PeerEnd::kTimedOut;
  return exchange;
}

std::string SendRaw(int port, std::string_view request, std::chrono::milliseconds timeout) {
  RawExchangeOptions options;
  options.timeout = timeout;
  RawExchange exchange = ExchangeRaw(port, request, options);
  if (exchange.end == PeerEnd::kTimedOut) {
    throw std::runtime_error("no complete reply from port " + std::to_string(port) + " within " +
                             std::to_string(timeout.count()) +
                             " ms; got: " + exchange.reply.substr(0, 500));
  }
  if (exchange.end == PeerEnd::kReset) {
    throw std::runtime_error("port " + std::to_string(port) +
                             " reset the connection; got: " + exchange.reply.substr(0, 500));
  }
  return std::move(exchange.reply);
}

HttpReply HttpGet(int port, std::string_view target, std::chrono::milliseconds timeout) {
  const std::string request = "GET " + std::string(target) +
                              " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
                              "\r\nConnection: close\r\n\r\n";
  return ParseHttpReply(SendRaw(port, request, timeout));
}

}  // namespace veldrask::testing
