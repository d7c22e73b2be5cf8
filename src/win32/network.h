#pragma once

#include <memory>

#include "platform/tcp_socket.h"
#include "win32/message_event_loop.h"
#include "win32/tls_trust.h"

namespace veldrask::win32 {

// Winsock 2 for the process while it exists, and sockets that run on one message loop; the loop
// must outlive them.
class Win32Network final : public Network {
 public:
  explicit Win32Network(MessageEventLoop& loop);
  ~Win32Network() override;
  Win32Network(const Win32Network&) = delete;
  Win32Network& operator=(const Win32Network&) = delete;

  std::unique_ptr<TcpSocket> CreateTcpSocket(SocketEvents& events) override;
  std::unique_ptr<TcpSocket> CreateTlsSocket(SocketEvents& events) override;
  std::unique_ptr<TcpSocket> CreateTlsSocketOver(SocketEvents& events,
                                                 const TransportMaker& transport) override;

  // What TLS sockets made from now on trust; the system's store alone unless changed.
  TlsTrust& Trust() { return *trust_; }

 private:
  MessageEventLoop& loop_;
  std::shared_ptr<TlsTrust> trust_ = std::make_shared<TlsTrust>();
};

}  // namespace veldrask::win32
