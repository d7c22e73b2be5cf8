#include "scripted_network.h"

#include <stdexcept>

#include "base/error.h"
#include "base/text.h"

namespace veldrask::testing {

void TaskLoop::ProcessPendingEvents() {
  for (std::size_t ready = tasks_.size(); ready > 0 && !tasks_.empty(); --ready) RunNext();
}

void TaskLoop::WaitUntil(const std::function<bool()>& done) {
  while (!done()) {
    if (tasks_.empty()) throw std::runtime_error("waiting with no event left to handle");
    RunNext();
  }
}

void TaskLoop::RunNext() {
  std::function<void()> task = std::move(tasks_.front());
  tasks_.pop_front();
  task();
}

std::vector<ServerStep> Serve(const std::string& body) {
  return {Data("HTTP/1.1 200 OK\r\nContent-Length: " +
               ToDecimal(static_cast<std::int64_t>(body.size())) + "\r\n\r\n" + body),
          PeerClose()};
}

class ScriptedSocket : public TcpSocket {
 public:
  ScriptedSocket(ScriptedNetwork& network, SocketEvents& events)
      : network_(network), events_(events) {}

  void Connect(std::string_view host, std::int32_t port) override {
    if (state_ != SocketState::kClosed) throw Error(socket_error::kInvalidOperation, "busy");
    const int number = ++network_.connections;
    network_.hosts.emplace_back(host);
    network_.ports.push_back(port);
    state_ = SocketState::kConnecting;
    if (network_.refused.contains(number)) {
      Emit([this] {
        state_ = SocketState::kError;
        events_.OnError(socket_error::kConnectionRefused, "refused");
      });
    } else {
      Emit([this] {
        state_ = SocketState::kConnected;
        events_.OnConnect();
      });
    }
  }

  SocketState State() const override { return state_; }

  void Send(std::span<const std::byte> data) override {
    if (state_ != SocketState::kConnected) throw Error(socket_error::kInvalidOperation, "state");
    const std::string request(AsText(data));
    network_.requests.push_back(request);
    Emit([this] { events_.OnSendComplete(); });
    for (ServerStep& step : network_.server_(request)) {
      Emit([this, step = std::move(step)] { Perform(step); });
    }
  }

  void GetData(std::vector<std::byte>& out) override {
    const auto bytes = AsBytes(incoming_);
    out.insert(out.end(), bytes.begin(), bytes.end());
    incoming_.clear();
  }

  void Close() override {
    if (state_ != SocketState::kClosed) ++network_.closes;
    liveness_ = std::make_shared<int>(0);
    incoming_.clear();
    state_ = SocketState::kClosed;
  }

 private:
  void Perform(const ServerStep& step) {
    network_.clock_.Advance(step.advanceMs);
    switch (step.kind) {
      case ServerStep::Kind::kData:
        incoming_ += step.bytes;
        events_.OnDataArrival(static_cast<std::int32_t>(incoming_.size()));
        break;
      case ServerStep::Kind::kClose:
        state_ = SocketState::kClosing;
        events_.OnClose();
        break;
      case ServerStep::Kind::kReset:
        state_ = SocketState::kError;
        events_.OnError(socket_error::kConnectionReset, "reset");
        break;
      case ServerStep::Kind::kCall:
        step.call();
        break;
    }
  }

  // Events stop once the socket is closed, as a real socket's do.
  void Emit(std::function<void()> fire) {
    network_.loop_.Post([weak = std::weak_ptr<int>(liveness_), fire = std::move(fire)] {
      if (weak.lock()) fire();
    });
  }

  ScriptedNetwork& network_;
  SocketEvents& events_;
  SocketState state_ = SocketState::kClosed;
  std::string incoming_;
  std::shared_ptr<int> liveness_ = std::make_shared<int>(0);
};

std::unique_ptr<TcpSocket> ScriptedNetwork::CreateTcpSocket(SocketEvents& events) {
  return std::make_unique<ScriptedSocket>(*this, events);
}

}  // namespace veldrask::testing
