#pragma once

#include <memory>

#include "platform/tcp_socket.h"
#include "posix/poll_event_loop.h"
#include "posix/tls_context.h"

namespace veldrask::posix {

// Creates sockets that run on one poll loop; the loop must outlive them.
class PosixNetwork final : public Network {
 public:
  explicit PosixNetwork(PollEventLoop& loop) : loop_(loop) {}

  // Whom later TLS sockets trust (the system store alone until this is called). Throws Error
  // when the extra certificates cannot be read.
  void SetTlsTrust(const TlsTrust& trust);

  std::unique_ptr<TcpSocket> CreateTcpSocket(SocketEvents& events) override;
  std::unique_ptr<TcpSocket> CreateTlsSocket(SocketEvents& events) override;
  std::unique_ptr<TcpSocket> CreateTlsSocketOver(SocketEvents& events,
                                                 const TransportMaker& transport) override;

 private:
  PollEventLoop& loop_;
  std::shared_ptr<const TlsContext> tls_;  // made on first use
};

}  // namespace veldrask::posix
