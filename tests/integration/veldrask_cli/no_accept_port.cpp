#include "no_accept_port.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <random>
#include <stdexcept>

namespace veldrask::testing {
namespace {

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

}  // namespace

NoAcceptPort::NoAcceptPort() {
  std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<int> ports(20000, 31999);
  for (int attempt = 0; attempt < 200 && port_ == 0; ++attempt) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int port = ports(random);
    const sockaddr_in address = Loopback(port);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        ::listen(fd, 0) == 0) {
      listener_ = fd;
      port_ = port;
    } else {
      ::close(fd);
    }
  }
  if (port_ == 0) throw std::runtime_error("no free port for a listener that never accepts");
  // A backlog of 0 holds one finished handshake; the connections beyond it wait for room.
  const sockaddr_in address = Loopback(port_);
  for (int i = 0; i < 2; ++i) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    fillers_.push_back(fd);
  }
}

NoAcceptPort::~NoAcceptPort() {
  for (const int fd : fillers_) ::close(fd);
  ::close(listener_);
}

}  // namespace veldrask::testing
