#include "posix/network.h"

#include "posix/tcp_socket.h"

namespace veldrask::posix {

std::unique_ptr<TcpSocket> PosixNetwork::CreateTcpSocket(SocketEvents& events) {
  return std::make_unique<PosixTcpSocket>(loop_, events);
}

}  // namespace veldrask::posix
