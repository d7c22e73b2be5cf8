#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/byte_buffer.h"
#include "base/error.h"
#include "base/shared_bytes.h"
#include "base/text.h"

namespace veldrask {

// The classic socket-control states.
enum class SocketState : std::int16_t {
  kClosed = 0,
  kOpen = 1,
  kListening = 2,
  kConnectionPending = 3,
  kResolvingHost = 4,
  kHostResolved = 5,
  kConnecting = 6,
  kConnected = 7,
  kClosing = 8,
  kError = 9,
};

// Error numbers of socket failures, in the classic socket numbering.
namespace socket_error {
inline constexpr std::int32_t kInvalidArgument = 10022;
inline constexpr std::int32_t kWouldBlock = 10035;
inline constexpr std::int32_t kNetworkDown = 10050;
inline constexpr std::int32_t kNetworkUnreachable = 10051;
inline constexpr std::int32_t kConnectionAborted = 10053;
inline constexpr std::int32_t kConnectionReset = 10054;
inline constexpr std::int32_t kNotConnected = 10057;
inline constexpr std::int32_t kTimedOut = 10060;
inline constexpr std::int32_t kConnectionRefused = 10061;
inline constexpr std::int32_t kHostUnreachable = 10065;
inline constexpr std::int32_t kHostNotFound = 11001;
inline constexpr std::int32_t kTryAgain = 11002;
inline constexpr std::int32_t kNoData = 11004;
inline constexpr std::int32_t kInvalidOperation = 40006;  // wrong state for the request
inline constexpr std::string_view kInvalidOperationText =
    "요청한 트랜잭션이나 요청에 대해 프로토콜이나 연결 상태가 잘못되었습니다.";
// Failures of a secure connection, in the numbering Windows' internet functions use.
inline constexpr std::int32_t kCertificateExpired = 12037;
inline constexpr std::int32_t kCertificateWrongName = 12038;
inline constexpr std::int32_t kCertificateUnknownIssuer = 12045;
inline constexpr std::int32_t kSecureChannelFailed = 12157;
inline constexpr std::int32_t kCertificateInvalid = 12169;
// A proxy answered the request for a tunnel with anything but 2xx.
inline constexpr std::int32_t kProxyRefused = 12033;
}  // namespace socket_error

// A count the socket events carry, held at the largest 32-bit value.
inline std::int32_t SaturatedInt32(std::size_t value) {
  return static_cast<std::int32_t>(
      std::min<std::size_t>(value, std::numeric_limits<std::int32_t>::max()));
}

// The state checks every socket makes first: connecting starts only when closed or after an
// error, sending only when connected. Both raise error 40006 otherwise.
inline void RequireConnectable(SocketState state) {
  if (state != SocketState::kClosed && state != SocketState::kError) {
    throw Error(socket_error::kInvalidOperation, std::string(socket_error::kInvalidOperationText));
  }
}
inline void RequireConnected(SocketState state) {
  if (state != SocketState::kConnected) {
    throw Error(socket_error::kInvalidOperation, std::string(socket_error::kInvalidOperationText));
  }
}

// Why a socket cannot connect to port; empty for 1 to 65535.
inline std::string InvalidPortText(std::int32_t port) {
  if (port >= 1 && port <= 65535) return {};
  return "포트 번호는 1에서 65535 사이여야 합니다: " + ToDecimal(port);
}

// "::1" for "[::1]", the form addresses with a port are written in; any other host as it is.
inline std::string_view WithoutBrackets(std::string_view host) {
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    return host.substr(1, host.size() - 2);
  }
  return host;
}

// How a plain socket's Connect begins, the same on every backend: the state check (raises
// 40006) and a Close; then a port outside 1 to 65535 fails as an invalid argument, the state
// becomes resolving, and a name that cannot be resolved (empty, or holding a NUL that would
// silently shorten a C name) fails as not found with the backend's notFound() text. A failure
// goes to the socket's fail(number, text). Returns the name to resolve, an IPv6 literal
// without its brackets, or nullopt once it has failed.
template <typename Socket, typename NotFoundText>
std::optional<std::string> BeginConnect(Socket& socket,
                                        void (Socket::*fail)(std::int32_t, std::string),
                                        SocketState& state, std::string_view host,
                                        std::int32_t port, NotFoundText notFound) {
  RequireConnectable(state);
  socket.Close();
  if (std::string invalid = InvalidPortText(port); !invalid.empty()) {
    (socket.*fail)(socket_error::kInvalidArgument, std::move(invalid));
    return std::nullopt;
  }
  state = SocketState::kResolvingHost;
  std::string name(WithoutBrackets(host));
  if (name.empty() || name.find('\0') != std::string::npos) {
    (socket.*fail)(socket_error::kHostNotFound, notFound());
    return std::nullopt;
  }
  return name;
}

// What a socket reports. Called from the event loop only, never from inside a call on the
// socket. After Close() on the socket, nothing more is reported.
class SocketEvents {
 public:
  virtual void OnConnect() = 0;
  // Some bytes of the queued sends went out; remaining counts those still queued.
  virtual void OnSendProgress(std::int32_t sent, std::int32_t remaining) = 0;
  // Everything queued has been handed to the network.
  virtual void OnSendComplete() = 0;
  // bytesTotal bytes are waiting to be read with GetData.
  virtual void OnDataArrival(std::int32_t bytesTotal) = 0;
  // The peer closed the connection.
  virtual void OnClose() = 0;
  virtual void OnError(std::int32_t number, std::string_view description) = 0;

 protected:
  ~SocketEvents() = default;
};

// A TCP client with the socket control's operations.
class TcpSocket {
 public:
  virtual ~TcpSocket() = default;

  // Starts resolving host and connecting to port; the outcome arrives as OnConnect or
  // OnError.
  virtual void Connect(std::string_view host, std::int32_t port) = 0;
  virtual SocketState State() const = 0;
  // Queues bytes for sending (the socket keeps what the network has not yet taken).
  virtual void Send(std::span<const std::byte> data) = 0;
  // The same for bytes with a share in their owner, which a socket may keep instead of a
  // copy; without an owner the same as Send.
  virtual void SendShared(SharedBytes data) { Send(data.bytes); }
  // Whether bytes of earlier sends still wait for the network. A socket that cannot tell says
  // they do, and its owner waits for OnSendComplete.
  virtual bool HoldsUnsent() const { return true; }
  // Moves every byte that has arrived and not yet been read to the end of out.
  virtual void GetData(ByteBuffer& out) = 0;
  // Closes the connection; no event follows.
  virtual void Close() = 0;
};

// Makes the connection that another socket speaks over, reporting to that socket's events.
using TransportMaker = std::function<std::unique_ptr<TcpSocket>(SocketEvents& events)>;

class Network {
 public:
  virtual ~Network() = default;
  virtual std::unique_ptr<TcpSocket> CreateTcpSocket(SocketEvents& events) = 0;
  // A socket that speaks TLS (1.2 or later) over its connection. Connect's host is the name
  // the server's certificate must carry and the one sent in the handshake; the connection is
  // reported only once the handshake and the certificate check have succeeded, and their
  // failure is the socket's error. A block counts as sent once the network has taken all of
  // its records. A close without the peer's TLS close notice is an error (a cut-off stream).
  // Null where the backend has no TLS.
  virtual std::unique_ptr<TcpSocket> CreateTlsSocket(SocketEvents& events) = 0;
  // The same over the connection that transport makes (a proxy's tunnel, say) instead of a
  // plain socket of its own: Connect's host and port are handed on to that connection.
  virtual std::unique_ptr<TcpSocket> CreateTlsSocketOver(SocketEvents& events,
                                                         const TransportMaker& transport) = 0;
};

}  // namespace veldrask
