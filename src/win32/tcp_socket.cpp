#include "win32/tcp_socket.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <thread>
#include <utility>

#include "base/error.h"
#include "base/text.h"
#include "win32/wide_text.h"

namespace veldrask::win32 {
namespace {

constexpr std::size_t kReadChunk = 64 * 1024;
constexpr long kNotifications = FD_CONNECT | FD_READ | FD_WRITE | FD_CLOSE;

std::string Describe(int error) {
  std::string text = SystemMessage(static_cast<unsigned long>(error));
  return text.empty() ? "소켓 오류 " + ToDecimal(error) : text;
}

int ChunkLength(std::size_t size) {
  return static_cast<int>(std::min<std::size_t>(size, std::numeric_limits<int>::max()));
}

template <typename Endpoint>
std::vector<Endpoint> EndpointsOf(const ADDRINFOW* found) {
  std::vector<Endpoint> endpoints;
  for (const ADDRINFOW* entry = found; entry != nullptr; entry = entry->ai_next) {
    Endpoint endpoint{};
    std::memcpy(&endpoint.address, entry->ai_addr,
                std::min(entry->ai_addrlen, sizeof endpoint.address));
    endpoint.length = static_cast<int>(entry->ai_addrlen);
    endpoint.family = entry->ai_family;
    endpoints.push_back(endpoint);
  }
  return endpoints;
}

// GetAddrInfoW with the hints every lookup uses; flags add AI_NUMERICHOST for the quick path.
int Lookup(const std::wstring& name, const std::wstring& service, int flags, ADDRINFOW*& found) {
  ADDRINFOW hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  hints.ai_flags = flags;
  found = nullptr;
  return GetAddrInfoW(name.c_str(), service.c_str(), &hints, &found);
}

// The error a socket has recorded (SO_ERROR), 0 for none.
int PendingError(SOCKET socket) {
  int error = 0;
  int length = sizeof error;
  if (getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0) {
    return 0;
  }
  return error;
}

}  // namespace

Win32TcpSocket::Win32TcpSocket(MessageEventLoop& loop, SocketEvents& events,
                               std::size_t receiveLimit)
    : loop_(loop), events_(events), receiveLimit_(receiveLimit) {}

Win32TcpSocket::~Win32TcpSocket() {
  Close();
}

void Win32TcpSocket::Connect(std::string_view host, std::int32_t port) {
  const std::optional<std::string> name = BeginConnect(
      *this, &Win32TcpSocket::Fail, state_, host, port, [] { return Describe(WSAHOST_NOT_FOUND); });
  if (!name) return;
  const std::string service = ToDecimal(port);
  ADDRINFOW* found = nullptr;
  if (Lookup(Widen(*name), Widen(service), AI_NUMERICHOST, found) == 0) {
    std::vector<Endpoint> endpoints = EndpointsOf<Endpoint>(found);
    FreeAddrInfoW(found);
    Resolved(0, std::move(endpoints));
    return;
  }
  StartResolving(*name, service);
}

void Win32TcpSocket::StartResolving(const std::string& name, const std::string& service) {
  // The worker touches nothing of the socket; the result comes back as a task that finds the
  // socket only if it has not been closed (or destroyed) since.
  std::thread([inbox = loop_.Inbox(), alive = std::weak_ptr<Liveness>(liveness_), this,
               wideName = Widen(name), wideService = Widen(service)] {
    ADDRINFOW* found = nullptr;
    const int error = Lookup(wideName, wideService, 0, found);
    std::vector<Endpoint> endpoints = EndpointsOf<Endpoint>(found);
    if (found != nullptr) FreeAddrInfoW(found);
    inbox->Post([alive, this, error, endpoints = std::move(endpoints)]() mutable {
      if (!alive.expired()) Resolved(error, std::move(endpoints));
    });
  }).detach();
}

void Win32TcpSocket::Resolved(int error, std::vector<Endpoint> endpoints) {
  if (error != 0 || endpoints.empty()) {
    const int code = error != 0 ? error : WSANO_DATA;
    Fail(code, Describe(code));
    return;
  }
  endpoints_ = std::move(endpoints);
  nextEndpoint_ = 0;
  state_ = SocketState::kConnecting;
  ConnectToNextEndpoint();
}

void Win32TcpSocket::Send(std::span<const std::byte> data) {
  RequireConnected(state_);
  if (!outgoing_.Empty()) {
    // Earlier bytes go first; FD_WRITE sends these after them.
    outgoing_.Append(data);
    return;
  }
  std::size_t taken = 0;
  int failure = 0;
  if (!SendFrom(data, taken, failure)) {
    FailAfterReading(failure);
    return;
  }
  outgoing_.Append(data.subspan(taken));
  if (taken > 0 || data.empty()) ReportSent(taken);
}

void Win32TcpSocket::GetData(ByteBuffer& out) {
  if (out.empty()) {
    out.swap(incoming_);
  } else {
    out.insert(out.end(), incoming_.begin(), incoming_.end());
  }
  incoming_.clear();
  if (!readPaused_ || resumeScheduled_ || state_ != SocketState::kConnected) return;
  // Winsock announces more data only after another recv: read again from the loop.
  resumeScheduled_ = true;
  Emit([this] {
    resumeScheduled_ = false;
    if (state_ == SocketState::kConnected) ReadAvailable();
  });
}

void Win32TcpSocket::Close() {
  liveness_ = std::make_shared<Liveness>();
  ReleaseSocket();
  endpoints_.clear();
  nextEndpoint_ = 0;
  outgoing_.Clear();
  incoming_.clear();
  arrivalAnnounced_ = false;
  readPaused_ = false;
  resumeScheduled_ = false;
  peerClosing_ = false;
  state_ = SocketState::kClosed;
}

void Win32TcpSocket::ConnectToNextEndpoint() {
  while (nextEndpoint_ < endpoints_.size()) {
    const Endpoint& endpoint = endpoints_[nextEndpoint_++];
    socket_ = socket(endpoint.family, SOCK_STREAM, IPPROTO_TCP);
    if (socket_ == INVALID_SOCKET) {
      lastConnectError_ = WSAGetLastError();
      continue;
    }
    message_ = loop_.AddSocketHandler(
        [this](WPARAM socket, LPARAM eventAndError) { OnNotification(socket, eventAndError); });
    // WSAAsyncSelect makes the socket non-blocking.
    if (WSAAsyncSelect(socket_, loop_.Window(), message_, kNotifications) == 0) {
      const auto* address = reinterpret_cast<const sockaddr*>(&endpoint.address);
      if (connect(socket_, address, endpoint.length) == 0) {
        BecomeConnected();  // the FD_CONNECT that follows finds the socket connected
        return;
      }
      if (WSAGetLastError() == WSAEWOULDBLOCK) return;  // FD_CONNECT tells the outcome
    }
    lastConnectError_ = WSAGetLastError();
    ReleaseSocket();
  }
  FailWithCode(lastConnectError_ != 0 ? lastConnectError_ : WSAHOST_NOT_FOUND);
}

void Win32TcpSocket::OnNotification(WPARAM socket, LPARAM eventAndError) {
  if (socket != socket_) return;
  const int error = WSAGETSELECTERROR(eventAndError);
  switch (WSAGETSELECTEVENT(eventAndError)) {
    case FD_CONNECT:
      if (state_ != SocketState::kConnecting) return;
      if (error == 0) {
        BecomeConnected();
      } else {
        lastConnectError_ = error;
        ReleaseSocket();
        ConnectToNextEndpoint();
      }
      return;
    case FD_READ:
      if (state_ == SocketState::kConnected && !readPaused_) ReadAvailable();
      return;
    case FD_WRITE:
      if (state_ == SocketState::kConnected && !outgoing_.Empty()) WriteQueued();
      return;
    case FD_CLOSE: {
      if (state_ != SocketState::kConnected) return;
      const int failure = error != 0 ? error : PendingError(socket_);
      if (failure != 0) {
        FailAfterReading(failure);
        return;
      }
      // Data may still be waiting: it is handed over before the close.
      peerClosing_ = true;
      if (!readPaused_) ReadAvailable();
      return;
    }
    default:
      return;
  }
}

void Win32TcpSocket::BecomeConnected() {
  state_ = SocketState::kConnected;
  endpoints_.clear();
  Emit([this] { events_.OnConnect(); });
}

Win32TcpSocket::ReadOutcome Win32TcpSocket::ReadWaiting() {
  ReadOutcome outcome;
  while (incoming_.size() < receiveLimit_) {
    const std::size_t before = incoming_.size();
    // Past the first chunk, one allocation takes everything up to the limit.
    if (before > 0 && incoming_.capacity() < before + kReadChunk) {
      incoming_.reserve(receiveLimit_ + kReadChunk);
    }
    incoming_.resize(before + kReadChunk);
    const int count = recv(socket_, reinterpret_cast<char*>(incoming_.data() + before),
                           static_cast<int>(kReadChunk), 0);
    incoming_.resize(before + static_cast<std::size_t>(std::max(count, 0)));
    if (count > 0) {
      outcome.arrived = true;
    } else if (count == 0) {
      outcome.peerClosed = true;
      break;
    } else {
      const int error = WSAGetLastError();
      if (error != WSAEWOULDBLOCK) outcome.failure = error;
      break;
    }
  }
  readPaused_ = incoming_.size() >= receiveLimit_;
  return outcome;
}

void Win32TcpSocket::ReadAvailable() {
  const auto [arrived, peerClosed, failure] = ReadWaiting();
  if (arrived) AnnounceArrival();
  if (failure != 0) {
    FailWithCode(failure);
  } else if (peerClosed || (peerClosing_ && !readPaused_)) {
    PeerClosed();
  }
}

void Win32TcpSocket::PeerClosed() {
  // The owner may still take what arrived; Close releases the socket.
  state_ = SocketState::kClosing;
  outgoing_.Clear();
  Emit([this] { events_.OnClose(); });
}

bool Win32TcpSocket::WriteQueued() {
  std::size_t total = 0;
  int failure = 0;
  bool ok = true;
  // Run by run, until the queue is empty or Winsock stops taking bytes.
  for (std::span<const std::byte> run = outgoing_.Front(); ok && !run.empty();
       run = outgoing_.Front()) {
    std::size_t taken = 0;
    ok = SendFrom(run, taken, failure);
    outgoing_.Consume(taken);
    total += taken;
    if (taken < run.size()) break;
  }
  if (!ok) {
    FailAfterReading(failure);
    return false;
  }
  if (total > 0) ReportSent(total);
  return true;
}

bool Win32TcpSocket::SendFrom(std::span<const std::byte> bytes, std::size_t& taken, int& failure) {
  taken = 0;
  while (taken < bytes.size()) {
    const int count = send(socket_, reinterpret_cast<const char*>(bytes.data() + taken),
                           ChunkLength(bytes.size() - taken), 0);
    if (count == SOCKET_ERROR) {
      failure = WSAGetLastError();
      // Would block: Winsock sends FD_WRITE once it takes more.
      return failure == WSAEWOULDBLOCK;
    }
    taken += static_cast<std::size_t>(count);
  }
  return true;
}

void Win32TcpSocket::ReportSent(std::size_t sent) {
  const std::size_t remaining = outgoing_.Size();
  if (sent > 0) {
    Emit([this, sent = SaturatedInt32(sent), left = SaturatedInt32(remaining)] {
      events_.OnSendProgress(sent, left);
    });
  }
  if (remaining == 0) Emit([this] { events_.OnSendComplete(); });
}

void Win32TcpSocket::AnnounceArrival() {
  // One event stands for everything that arrives until it is delivered; it reports the total
  // waiting then, and nothing if the owner has already taken it.
  if (arrivalAnnounced_) return;
  arrivalAnnounced_ = true;
  Emit([this] {
    arrivalAnnounced_ = false;
    if (!incoming_.empty()) events_.OnDataArrival(SaturatedInt32(incoming_.size()));
  });
}

void Win32TcpSocket::Fail(std::int32_t number, std::string description) {
  ReleaseSocket();
  endpoints_.clear();
  outgoing_.Clear();
  state_ = SocketState::kError;
  Emit([this, number, description = std::move(description)] {
    events_.OnError(number, description);
  });
}

void Win32TcpSocket::FailAfterReading(int error) {
  // A server that answers early and resets (413 and close) has its answer waiting in the
  // receive queue; it is handed over before the failure.
  if (ReadWaiting().arrived) AnnounceArrival();
  FailWithCode(error);
}

void Win32TcpSocket::FailWithCode(int error) {
  Fail(error, Describe(error));
}

void Win32TcpSocket::ReleaseSocket() {
  if (socket_ != INVALID_SOCKET) {
    WSAAsyncSelect(socket_, loop_.Window(), 0, 0);
    closesocket(socket_);
    socket_ = INVALID_SOCKET;
  }
  if (message_ != 0) loop_.RemoveSocketHandler(message_);
  message_ = 0;
}

void Win32TcpSocket::Emit(std::function<void()> fire) {
  loop_.Post([alive = std::weak_ptr<Liveness>(liveness_), fire = std::move(fire)] {
    if (!alive.expired()) fire();
  });
}

}  // namespace veldrask::win32
