#pragma once

// A server on 127.0.0.1 (on a port below 32768) that keeps a transfer in the middle, for
// photographs of the progress windows: it takes one connection and then either reads nothing
// (an upload stalls once the buffers are full) or answers a GET with a head promising bodySize
// bytes, sends the first sentPart of them and falls silent.

#include <winsock2.h>

#include <cstddef>
#include <thread>

namespace veldrask {

class StallingServer {
 public:
  enum class Mode { kReadNothing, kAnswerPart };
  StallingServer(Mode mode, std::size_t bodySize, std::size_t sentPart);
  ~StallingServer();
  StallingServer(const StallingServer&) = delete;
  StallingServer& operator=(const StallingServer&) = delete;

  int Port() const { return port_; }

 private:
  void Serve(Mode mode, std::size_t bodySize, std::size_t sentPart);

  SOCKET listener_ = INVALID_SOCKET;
  SOCKET client_ = INVALID_SOCKET;
  int port_ = 0;
  std::thread worker_;
};

}  // namespace veldrask
