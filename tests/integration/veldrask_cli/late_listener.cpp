#include "late_listener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <random>
#include <stdexcept>

namespace veldrask::testing {

LateListener::LateListener() {
  std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<int> ports(20000, 31999);
  for (int attempt = 0; attempt < 200 && port_ == 0; ++attempt) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(ports(random)));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // Bound and not listening: a connection to it is refused.
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
      socket_ = fd;
      port_ = ntohs(address.sin_port);
    } else {
      ::close(fd);
    }
  }
  if (port_ == 0) throw std::runtime_error("no free port for a late listener");
}

LateListener::~LateListener() {
  ::close(socket_);
}

void LateListener::Listen() {
  if (::listen(socket_, 4) != 0) throw std::runtime_error("listen failed");
}

std::string LateListener::Answer(const std::string& reply) {
  pollfd ready{socket_, POLLIN, 0};
  if (::poll(&ready, 1, 20000) != 1) throw std::runtime_error("no connection came");
  const int connection = ::accept4(socket_, nullptr, nullptr, SOCK_CLOEXEC);
  std::string request;
  std::size_t whole = std::string::npos;
  char buffer[4096];
  while (whole == std::string::npos || request.size() < whole) {
    pollfd readable{connection, POLLIN, 0};
    if (::poll(&readable, 1, 20000) != 1) break;
    const ssize_t got = ::read(connection, buffer, sizeof buffer);
    if (got <= 0) break;
    request.append(buffer, static_cast<std::size_t>(got));
    const std::size_t headEnd = request.find("\r\n\r\n");
    const std::size_t length = request.find("Content-Length: ");
    if (whole == std::string::npos && headEnd != std::string::npos) {
      whole = headEnd + 4 + (length < headEnd ? std::stoul(request.substr(length + 16)) : 0);
    }
  }
  ::write(connection, reply.data(), reply.size());
  ::close(connection);
  return request;
}

}  // namespace veldrask::testing
