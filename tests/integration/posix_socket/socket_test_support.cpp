#include "socket_test_support.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <random>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>

namespace veldrask::posix::socket_test {
namespace {

[[noreturn]] void ThrowSystemError(const char* what) {
  throw std::system_error(errno, std::generic_category(), what);
}

// Wakes the loop once the limit has passed, unless dismissed first.
class Watchdog {
 public:
  Watchdog(PollEventLoop& loop, std::chrono::milliseconds limit)
      : thread_([this, &loop, limit] {
          std::unique_lock lock(mutex_);
          if (!changed_.wait_for(lock, limit, [this] { return dismissed_; })) {
            expired = true;
            loop.Wake();
          }
        }) {}
  ~Watchdog() {
    {
      const std::lock_guard lock(mutex_);
      dismissed_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

  std::atomic<bool> expired{false};

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool dismissed_ = false;
  std::thread thread_;
};

void SetTimeouts(int fd) {
  const timeval limit{20, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

}  // namespace

bool RunUntil(PollEventLoop& loop, const std::function<bool()>& done,
              std::chrono::milliseconds limit) {
  const Watchdog watchdog(loop, limit);
  return loop.WaitUntil([&] { return done() || watchdog.expired.load(); }) == WaitOutcome::kDone &&
         done();
}

void RunFor(PollEventLoop& loop, std::chrono::milliseconds duration) {
  RunUntil(
      loop, [] { return false; }, duration);
}

PeerConnection::PeerConnection(int fd) : fd_(fd) {
  SetTimeouts(fd_);
}

PeerConnection::~PeerConnection() {
  Close();
}

PeerConnection::PeerConnection(PeerConnection&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)) {}

void PeerConnection::SendAll(std::span<const std::byte> bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t count = send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return;
    sent += static_cast<std::size_t>(count);
  }
}

std::vector<std::byte> PeerConnection::Receive(std::size_t count) {
  std::vector<std::byte> received(count);
  std::size_t filled = 0;
  while (filled < count) {
    const ssize_t got = recv(fd_, received.data() + filled, count - filled, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    filled += static_cast<std::size_t>(got);
  }
  received.resize(filled);
  return received;
}

std::vector<std::byte> ReceiveWhileLoopRuns(PollEventLoop& loop, PeerConnection& peer,
                                            std::size_t count) {
  std::vector<std::byte> received;
  std::atomic<bool> done{false};
  std::thread reader([&] {
    received = peer.Receive(count);
    done = true;
    loop.Wake();
  });
  RunUntil(loop, [&] { return done.load(); });
  reader.join();
  return received;
}

void PeerConnection::Reset() {
  const linger abortive{1, 0};
  setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
  Close();
}

void PeerConnection::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

PeerListener::PeerListener(const std::string& address, bool listen) {
  sockaddr_storage storage{};
  socklen_t length = 0;
  auto* v4 = reinterpret_cast<sockaddr_in*>(&storage);
  auto* v6 = reinterpret_cast<sockaddr_in6*>(&storage);
  if (inet_pton(AF_INET, address.c_str(), &v4->sin_addr) == 1) {
    v4->sin_family = AF_INET;
    length = sizeof *v4;
  } else if (inet_pton(AF_INET6, address.c_str(), &v6->sin6_addr) == 1) {
    v6->sin6_family = AF_INET6;
    length = sizeof *v6;
  } else {
    throw std::invalid_argument("not a literal address: " + address);
  }

  // The kernel's own choice of port lies above 32767, so ports are drawn from below it.
  std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<int> ports(20000, 32767);
  for (int attempt = 0; attempt < 500; ++attempt) {
    const auto port = static_cast<std::uint16_t>(ports(random));
    v4->sin_port = htons(port);  // sin_port and sin6_port share their place
    fd_ = socket(storage.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) ThrowSystemError("socket");
    if (bind(fd_, reinterpret_cast<sockaddr*>(&storage), length) == 0) {
      if (listen && ::listen(fd_, 16) != 0) ThrowSystemError("listen");
      port_ = port;
      return;
    }
    const int error = errno;
    close(fd_);
    fd_ = -1;
    if (error != EADDRINUSE) {
      errno = error;
      ThrowSystemError("bind");
    }
  }
  throw std::runtime_error("no free port below 32768");
}

PeerListener::~PeerListener() {
  if (fd_ >= 0) close(fd_);
}

PeerConnection PeerListener::Accept() {
  pollfd waiting{fd_, POLLIN, 0};
  if (poll(&waiting, 1, static_cast<int>(kPatience.count())) != 1) {
    throw std::runtime_error("no connection came to the listener");
  }
  const int fd = accept(fd_, nullptr, nullptr);
  if (fd < 0) ThrowSystemError("accept");
  return PeerConnection(fd);
}

bool HasIpv6Loopback() {
  const int fd = socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_in6 address{};
  address.sin6_family = AF_INET6;
  address.sin6_addr = in6addr_loopback;
  const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return bound;
}

std::vector<std::byte> Pattern(std::size_t size, std::uint32_t seed) {
  std::vector<std::byte> bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    std::uint32_t x = static_cast<std::uint32_t>(i) * 2654435761U + seed;
    x ^= x >> 15;
    bytes[i] = static_cast<std::byte>(x >> 7);
  }
  return bytes;
}

std::vector<std::byte> Bytes(std::string_view text) {
  const auto view = AsBytes(text);
  return {view.begin(), view.end()};
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

std::string ToText(std::span<const std::byte> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

PeerConnection SocketTest::ConnectTo(PeerListener& listener, std::string_view host) {
  events.Calling([&] { socket->Connect(host, listener.Port()); });
  EXPECT_EQ(socket->State(), SocketState::kConnecting);
  PeerConnection peer = listener.Accept();
  EXPECT_TRUE(RunUntil(loop, [&] { return events.Count("connect") == 1; }));
  EXPECT_EQ(socket->State(), SocketState::kConnected);
  return peer;
}

void RecordingEvents::OnConnect() {
  Record("connect");
  if (onConnect) onConnect();
}

void RecordingEvents::OnSendProgress(std::int32_t sent, std::int32_t remaining) {
  progress.push_back({sent, remaining});
  Record("progress");
  if (onProgress) onProgress();
}

void RecordingEvents::OnSendComplete() {
  Record("complete");
}

void RecordingEvents::OnDataArrival(std::int32_t bytesTotal) {
  arrivals.push_back(bytesTotal);
  Record("arrival");
  if (onArrival) onArrival(bytesTotal);
}

void RecordingEvents::OnClose() {
  Record("close");
  if (onClose) onClose();
}

void RecordingEvents::OnError(std::int32_t number, std::string_view description) {
  errors.push_back(number);
  lastErrorDescription = std::string(description);
  Record("error");
}

int RecordingEvents::Count(std::string_view name) const {
  int count = 0;
  for (const std::string& entry : log) count += entry == name ? 1 : 0;
  return count;
}

void RecordingEvents::Record(std::string name) {
  if (insideCall > 0) raisedInsideCall = true;
  log.push_back(std::move(name));
}

}  // namespace veldrask::posix::socket_test
