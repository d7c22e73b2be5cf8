#include "posix/network.h"

#include "posix/tcp_socket.h"
#include "posix/tls_socket.h"

namespace veldrask::posix {

void PosixNetwork::SetTlsTrust(const TlsTrust& trust) {
  tls_ = std::make_shared<const TlsContext>(trust);
}

std::unique_ptr<TcpSocket> PosixNetwork::CreateTcpSocket(SocketEvents& events) {
  return std::make_unique<PosixTcpSocket>(loop_, events);
}

std::unique_ptr<TcpSocket> PosixNetwork::CreateTlsSocket(SocketEvents& events) {
  return CreateTlsSocketOver(events, [this](SocketEvents& transportEvents) {
    return std::make_unique<PosixTcpSocket>(loop_, transportEvents, PosixTlsSocket::kReceiveLimit);
  });
}

std::unique_ptr<TcpSocket> PosixNetwork::CreateTlsSocketOver(SocketEvents& events,
                                                             const TransportMaker& transport) {
  if (!tls_) SetTlsTrust(TlsTrust{});
  return std::make_unique<PosixTlsSocket>(loop_, tls_, events, transport);
}

}  // namespace veldrask::posix
