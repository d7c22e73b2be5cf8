#include "win32/network.h"

#include <system_error>

#include "win32/tcp_socket.h"
#include "win32/tls_socket.h"

namespace veldrask::win32 {

Win32Network::Win32Network(MessageEventLoop& loop) : loop_(loop) {
  WSADATA data{};
  if (const int error = WSAStartup(MAKEWORD(2, 2), &data); error != 0) {
    throw std::system_error(error, std::system_category(), "WSAStartup");
  }
}

Win32Network::~Win32Network() {
  WSACleanup();
}

std::unique_ptr<TcpSocket> Win32Network::CreateTcpSocket(SocketEvents& events) {
  return std::make_unique<Win32TcpSocket>(loop_, events);
}

std::unique_ptr<TcpSocket> Win32Network::CreateTlsSocket(SocketEvents& events) {
  return CreateTlsSocketOver(events, [this](SocketEvents& transportEvents) {
    return std::make_unique<Win32TcpSocket>(loop_, transportEvents, Win32TlsSocket::kReceiveLimit);
  });
}

std::unique_ptr<TcpSocket> Win32Network::CreateTlsSocketOver(SocketEvents& events,
                                                             const TransportMaker& transport) {
  return std::make_unique<Win32TlsSocket>(loop_, events, trust_, transport);
}

}  // namespace veldrask::win32
