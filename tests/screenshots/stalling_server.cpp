#include "stalling_server.h"

#include <string>
#include <vector>

namespace veldrask {

StallingServer::StallingServer(Mode mode, std::size_t bodySize, std::size_t sentPart) {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  // The control's port is a 16-bit signed number: a free port below 32768.
  for (int port = 23000; port < 32768 && port_ == 0; ++port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port));
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        listen(listener_, 1) == 0) {
      port_ = port;
    }
  }
  worker_ = std::thread([this, mode, bodySize, sentPart] { Serve(mode, bodySize, sentPart); });
}

StallingServer::~StallingServer() {
  closesocket(listener_);  // ends a wait in accept
  if (worker_.joinable()) worker_.join();
  if (client_ != INVALID_SOCKET) closesocket(client_);
  WSACleanup();
}

void StallingServer::Serve(Mode mode, std::size_t bodySize, std::size_t sentPart) {
  client_ = accept(listener_, nullptr, nullptr);
  if (client_ == INVALID_SOCKET || mode == Mode::kReadNothing) return;
  // The request's head, up to its blank line.
  std::string head;
  char byte = 0;
  while (head.find("\r\n\r\n") == std::string::npos && recv(client_, &byte, 1, 0) == 1) {
    head += byte;
  }
  const std::string answer =
      "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(bodySize) + "\r\n\r\n";
  send(client_, answer.data(), static_cast<int>(answer.size()), 0);
  const std::vector<char> part(sentPart, 'v');
  send(client_, part.data(), static_cast<int>(part.size()), 0);
}

}  // namespace veldrask
