#pragma once

// What the Win32 backend's tests share: a loop runner with a watchdog, a Winsock peer for the
// sockets under test and a recorder of socket events.

#include <chrono>
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/tcp_socket.h"
#include "scratch_folder.h"
#include "win32/message_event_loop.h"

namespace veldrask::win32::testing {

// Generous enough for a loaded machine; a test that waits this long has failed.
inline constexpr std::chrono::milliseconds kPatience{20'000};

// Runs the loop until done() holds or the limit passes (a watchdog thread posts a wake-up);
// false on the limit.
bool RunUntil(MessageEventLoop& loop, const std::function<bool()>& done,
              std::chrono::milliseconds limit = kPatience);

// An accepted connection as the peer sees it: blocking calls with timeouts.
class PeerConnection {
 public:
  explicit PeerConnection(std::uintptr_t socket) : socket_(socket) {}
  ~PeerConnection();
  PeerConnection(PeerConnection&& other) noexcept;
  PeerConnection& operator=(PeerConnection&&) = delete;

  void SendAll(std::span<const std::byte> bytes);
  // Reads until count bytes have come or the connection ends.
  std::vector<std::byte> Receive(std::size_t count);
  // Closes so that the client sees a reset instead of an end of stream.
  void Reset();
  void Close();

 private:
  std::uintptr_t socket_;
};

// A listening socket on 127.0.0.1 and a free port, or the one given.
class PeerListener {
 public:
  // Binds without listening when listen is false: connections to it are refused.
  explicit PeerListener(bool listen = true, std::int32_t port = 0);
  ~PeerListener();
  PeerListener(const PeerListener&) = delete;
  PeerListener& operator=(const PeerListener&) = delete;

  std::int32_t Port() const { return port_; }
  PeerConnection Accept();

 private:
  std::uintptr_t socket_;
  std::int32_t port_ = 0;
};

// Records socket events and whether any came from inside a call on the socket.
class RecordingEvents final : public SocketEvents {
 public:
  void OnConnect() override { Record("connect"); }
  void OnSendProgress(std::int32_t sent, std::int32_t) override {
    sentTotal += sent;
    Record("progress");
  }
  void OnSendComplete() override { Record("complete"); }
  void OnDataArrival(std::int32_t) override { Record("arrival"); }
  void OnClose() override { Record("close"); }
  void OnError(std::int32_t number, std::string_view description) override {
    errors.push_back(number);
    lastErrorDescription = description;
    Record("error");
  }

  template <typename Call>
  void Calling(Call&& call) {
    ++insideCall;
    call();
    --insideCall;
  }
  bool Saw(std::string_view name) const;

  std::vector<std::string> log;
  std::vector<std::int32_t> errors;
  std::string lastErrorDescription;
  std::int64_t sentTotal = 0;
  int insideCall = 0;
  bool raisedInsideCall = false;
  std::function<void()> onArrival;

 private:
  void Record(std::string name);
};

std::vector<std::byte> Pattern(std::size_t size);
std::vector<std::byte> Bytes(std::string_view text);

using veldrask::testing::ScratchFolder;

}  // namespace veldrask::win32::testing
