#pragma once

#include <string>

namespace veldrask::testing {

// A port on 127.0.0.1 (below 32768) that refuses connections until Listen(): a server that
// is not up yet. Then Answer() takes one connection, reads its request whole (head and
// Content-Length body) and sends reply.
class LateListener {
 public:
  LateListener();
  ~LateListener();
  LateListener(const LateListener&) = delete;
  LateListener& operator=(const LateListener&) = delete;

  int Port() const { return port_; }
  void Listen();
  // Returns the request that came.
  std::string Answer(const std::string& reply);

 private:
  int socket_ = -1;
  int port_ = 0;
};

}  // namespace veldrask::testing
