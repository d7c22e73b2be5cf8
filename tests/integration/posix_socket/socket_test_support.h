#pragma once

// The other end of the sockets under test, written with plain POSIX calls, and a recorder of
// socket events.

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/tcp_socket.h"
#include "posix/network.h"
#include "posix/poll_event_loop.h"

namespace veldrask::posix::socket_test {

// Generous enough for a loaded machine; a test that waits this long has failed.
inline constexpr std::chrono::milliseconds kPatience{20'000};

// Runs the loop until done() holds or the limit passes (a watchdog thread wakes the loop);
// false on the limit.
bool RunUntil(PollEventLoop& loop, const std::function<bool()>& done,
              std::chrono::milliseconds limit = kPatience);

// Runs the loop for about the given time, handling whatever arrives meanwhile.
void RunFor(PollEventLoop& loop, std::chrono::milliseconds duration);

// An accepted connection, as the peer sees it. Blocking calls with timeouts, so a thread
// serving it always ends.
class PeerConnection {
 public:
  explicit PeerConnection(int fd);
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
  int fd_;
};

// Receives count bytes at the peer while the loop runs, as an owner's waits run it: the
// socket hands small sends to the kernel from the loop.
std::vector<std::byte> ReceiveWhileLoopRuns(PollEventLoop& loop, PeerConnection& peer,
                                            std::size_t count);

// A listening socket on a loopback address and a port below 32768.
class PeerListener {
 public:
  // Binds without listening when listen is false: connections to it are refused.
  explicit PeerListener(const std::string& address = "127.0.0.1", bool listen = true);
  ~PeerListener();
  PeerListener(const PeerListener&) = delete;
  PeerListener& operator=(const PeerListener&) = delete;

  std::int32_t Port() const { return port_; }
  PeerConnection Accept();

 private:
  int fd_ = -1;
  std::int32_t port_ = 0;
};

// Whether this machine can bind the IPv6 loopback address.
bool HasIpv6Loopback();

// Bytes that differ with their position, so reordering or loss shows.
std::vector<std::byte> Pattern(std::size_t size, std::uint32_t seed);

std::vector<std::byte> Bytes(std::string_view text);

// Records every socket event and checks that none comes from inside a call on the socket.
class RecordingEvents final : public SocketEvents {
 public:
  struct Progress {
    std::int32_t sent;
    std::int32_t remaining;
  };

  void OnConnect() override;
  void OnSendProgress(std::int32_t sent, std::int32_t remaining) override;
  void OnSendComplete() override;
  void OnDataArrival(std::int32_t bytesTotal) override;
  void OnClose() override;
  void OnError(std::int32_t number, std::string_view description) override;

  // Runs a call on the socket, marking it so an event raised inside it is caught.
  template <typename Call>
  void Calling(Call&& call) {
    ++insideCall;
    try {
      call();
    } catch (...) {
      --insideCall;
      throw;
    }
    --insideCall;
  }

  // Event names in order: "connect", "progress", "complete", "arrival", "close", "error".
  std::vector<std::string> log;
  std::vector<Progress> progress;
  std::vector<std::int32_t> arrivals;
  std::vector<std::int32_t> errors;
  std::string lastErrorDescription;
  int insideCall = 0;
  bool raisedInsideCall = false;

  // Optional reactions, run after recording.
  std::function<void()> onConnect;
  std::function<void()> onProgress;
  std::function<void(std::int32_t)> onArrival;
  std::function<void()> onClose;

  int Count(std::string_view name) const;

 private:
  void Record(std::string name);
};

// Processor time used by the whole process so far, user and system, in seconds.
double CpuSeconds();

std::string ToText(std::span<const std::byte> bytes);

// A socket made by the network object, its recorder, and a loop.
class SocketTest : public ::testing::Test {
 protected:
  // Connects to the listener and returns the accepted peer once OnConnect has come.
  PeerConnection ConnectTo(PeerListener& listener, std::string_view host = "127.0.0.1");

  void TearDown() override { EXPECT_FALSE(events.raisedInsideCall); }

  PollEventLoop loop;
  PosixNetwork network{loop};
  RecordingEvents events;
  std::unique_ptr<TcpSocket> socket = network.CreateTcpSocket(events);
};

}  // namespace veldrask::posix::socket_test
