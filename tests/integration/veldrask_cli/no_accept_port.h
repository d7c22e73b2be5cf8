#pragma once

#include <vector>

namespace veldrask::testing {

// A port on 127.0.0.1 (below 32768) whose listener never accepts and whose queue is already
// full, so a new connection to it is neither made nor refused: it waits.
class NoAcceptPort {
 public:
  NoAcceptPort();
  ~NoAcceptPort();
  NoAcceptPort(const NoAcceptPort&) = delete;
  NoAcceptPort& operator=(const NoAcceptPort&) = delete;

  int Port() const { return port_; }

 private:
  int listener_ = -1;
  int port_ = 0;
  std::vector<int> fillers_;
};

}  // namespace veldrask::testing
