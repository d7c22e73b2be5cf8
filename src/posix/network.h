#pragma once

#include <memory>

#include "platform/tcp_socket.h"
#include "posix/poll_event_loop.h"

namespace veldrask::posix {

// Creates sockets that run on one poll loop; the loop must outlive them.
class PosixNetwork final : public Network {
 public:
  explicit PosixNetwork(PollEventLoop& loop) : loop_(loop) {}

  std::unique_ptr<TcpSocket> CreateTcpSocket(SocketEvents& events) override;

 private:
  PollEventLoop& loop_;
};

}  // namespace veldrask::posix
