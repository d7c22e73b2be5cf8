#pragma once

// A network whose server is a script: each connection is answered with the steps a test
// gives it, delivered through a loop that runs posted tasks in order and throws instead of
// blocking forever, so a session that would wait without end fails the test.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/event_loop.h"
#include "platform/tcp_socket.h"
#include "test_platform.h"

namespace veldrask::testing {

class TaskLoop : public EventLoop {
 public:
  void ProcessPendingEvents() override;
  void WaitUntil(const std::function<bool()>& done) override;
  void Post(std::function<void()> task) override { tasks_.push_back(std::move(task)); }

 private:
  void RunNext();
  std::deque<std::function<void()>> tasks_;
};

// What the server does after a request, in order.
struct ServerStep {
  enum class Kind { kData, kClose, kReset, kCall };
  Kind kind = Kind::kData;
  std::string bytes;
  std::uint32_t advanceMs = 0;  // the clock moves on before the step
  std::function<void()> call;   // kCall: runs in the loop at this point of the script
};

inline ServerStep Data(std::string bytes, std::uint32_t advanceMs = 0) {
  return {ServerStep::Kind::kData, std::move(bytes), advanceMs, {}};
}
inline ServerStep PeerClose() {
  return {ServerStep::Kind::kClose, {}, 0, {}};
}
inline ServerStep PeerReset() {
  return {ServerStep::Kind::kReset, {}, 0, {}};
}
// Runs call between the server's steps, e.g. to look at the window or to act as the user.
inline ServerStep Call(std::function<void()> call) {
  return {ServerStep::Kind::kCall, {}, 0, std::move(call)};
}

// A complete 200 response with Content-Length, then the close.
std::vector<ServerStep> Serve(const std::string& body);

class ScriptedNetwork : public Network {
 public:
  // The steps that answer a request (its bytes as sent).
  using Server = std::function<std::vector<ServerStep>(const std::string& request)>;

  ScriptedNetwork(EventLoop& loop, ManualClock& clock) : loop_(loop), clock_(clock) {}

  std::unique_ptr<TcpSocket> CreateTcpSocket(SocketEvents& events) override;

  void SetServer(Server server) { server_ = std::move(server); }
  // Connections (numbered from 1) that are refused.
  std::set<int> refused;

  // What the sockets saw, in order.
  std::vector<std::string> requests;
  std::vector<std::string> hosts;
  std::vector<std::int32_t> ports;
  int connections = 0;
  int closes = 0;

 private:
  friend class ScriptedSocket;
  EventLoop& loop_;
  ManualClock& clock_;
  Server server_;
};

}  // namespace veldrask::testing
