#include "win32_test_support.h"

#include <gtest/gtest.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <utility>

namespace veldrask::win32::testing {

bool RunUntil(MessageEventLoop& loop, const std::function<bool()>& done,
              std::chrono::milliseconds limit) {
  auto expired = std::make_shared<std::atomic<bool>>(false);
  auto finished = std::make_shared<std::atomic<bool>>(false);
  std::thread watchdog([inbox = loop.Inbox(), expired, finished, limit] {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!finished->load() && std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    expired->store(true);
    inbox->Post([] {});
  });
  const WaitOutcome outcome = loop.WaitUntil([&] { return done() || expired->load(); });
  finished->store(true);
  watchdog.join();
  return outcome == WaitOutcome::kDone && done();
}

PeerConnection::~PeerConnection() {
  Close();
}

PeerConnection::PeerConnection(PeerConnection&& other) noexcept
    : socket_(std::exchange(other.socket_, INVALID_SOCKET)) {}

void PeerConnection::SendAll(std::span<const std::byte> bytes) {
  while (!bytes.empty()) {
    const int count = send(socket_, reinterpret_cast<const char*>(bytes.data()),
                           static_cast<int>(bytes.size()), 0);
    ASSERT_GT(count, 0) << "peer send failed: " << WSAGetLastError();
    bytes = bytes.subspan(static_cast<std::size_t>(count));
  }
}

std::vector<std::byte> PeerConnection::Receive(std::size_t count) {
  std::vector<std::byte> received(count);
  std::size_t have = 0;
  while (have < count) {
    const int got = recv(socket_, reinterpret_cast<char*>(received.data() + have),
                         static_cast<int>(count - have), 0);
    if (got <= 0) break;
    have += static_cast<std::size_t>(got);
  }
  received.resize(have);
  return received;
}

void PeerConnection::Reset() {
  const linger abort{1, 0};
  setsockopt(socket_, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
  Close();
}

void PeerConnection::Close() {
  if (socket_ != INVALID_SOCKET) closesocket(std::exchange(socket_, INVALID_SOCKET));
}

PeerListener::PeerListener(bool listen, std::int32_t port)
    : socket_(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  EXPECT_EQ(bind(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  int length = sizeof address;
  getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  if (listen) {
    EXPECT_EQ(::listen(socket_, 4), 0);
  }
}

PeerListener::~PeerListener() {
  closesocket(socket_);
}

PeerConnection PeerListener::Accept() {
  fd_set ready;
  FD_ZERO(&ready);
  FD_SET(socket_, &ready);
  timeval timeout{static_cast<long>(kPatience.count() / 1000), 0};
  if (select(0, &ready, nullptr, nullptr, &timeout) != 1) return PeerConnection(INVALID_SOCKET);
  const SOCKET accepted = accept(socket_, nullptr, nullptr);
  const DWORD receiveTimeout = static_cast<DWORD>(kPatience.count());
  setsockopt(accepted, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&receiveTimeout),
             sizeof receiveTimeout);
  return PeerConnection(accepted);
}

bool RecordingEvents::Saw(std::string_view name) const {
  return std::find(log.begin(), log.end(), name) != log.end();
}

void RecordingEvents::Record(std::string name) {
  if (insideCall > 0) raisedInsideCall = true;
  log.push_back(std::move(name));
  if (log.back() == "arrival" && onArrival) onArrival();
}

std::vector<std::byte> Pattern(std::size_t size) {
  std::vector<std::byte> bytes(size);
  std::uint32_t state = 2463534242u;
  for (std::byte& byte : bytes) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    byte = static_cast<std::byte>(state);
  }
  return bytes;
}

std::vector<std::byte> Bytes(std::string_view text) {
  const auto* data = reinterpret_cast<const std::byte*>(text.data());
  return {data, data + text.size()};
}

}  // namespace veldrask::win32::testing
