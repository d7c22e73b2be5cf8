#include "posix/tcp_socket.h"

#include <fcntl.h>
#include <netdb.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

#include "base/error.h"
#include "base/text.h"

namespace veldrask::posix {
namespace {

constexpr std::size_t kReadChunk = 64 * 1024;
// Queued runs handed to one sendmsg: the header bytes and the pieces of a gathered send.
constexpr std::size_t kRunsPerCall = 16;

// Classic numbers the shared table has no name for.
constexpr std::int32_t kAccessDenied = 10013;
constexpr std::int32_t kTooManySockets = 10024;
constexpr std::int32_t kFamilyNotSupported = 10047;
constexpr std::int32_t kAddressNotAvailable = 10049;
constexpr std::int32_t kNoBufferSpace = 10055;
constexpr std::int32_t kNoRecovery = 11003;

struct ClassicError {
  std::int32_t number;
  std::string description;
};

ClassicError FromErrno(int error) {
  switch (error) {
    case ECONNREFUSED:
      return {socket_error::kConnectionRefused, "대상 컴퓨터에서 연결을 거부했습니다."};
    case ETIMEDOUT:
      return {socket_error::kTimedOut, "연결 시간이 초과되었습니다."};
    case ECONNRESET:
      return {socket_error::kConnectionReset, "원격 호스트에 의해 연결이 강제로 끊겼습니다."};
    case ECONNABORTED:
    case EPIPE:
      return {socket_error::kConnectionAborted, "연결이 중단되었습니다."};
    case EHOSTUNREACH:
    case EHOSTDOWN:
      return {socket_error::kHostUnreachable, "호스트에 연결할 경로가 없습니다."};
    case ENETUNREACH:
      return {socket_error::kNetworkUnreachable, "네트워크에 연결할 수 없습니다."};
    case ENETDOWN:
      return {socket_error::kNetworkDown, "네트워크가 작동하지 않습니다."};
    case ENOTCONN:
      return {socket_error::kNotConnected, "소켓이 연결되어 있지 않습니다."};
    case EACCES:
    case EPERM:
      return {kAccessDenied, "소켓 접근 권한이 없습니다."};
    case EMFILE:
    case ENFILE:
      return {kTooManySockets, "열린 소켓이 너무 많습니다."};
    case EAFNOSUPPORT:
      return {kFamilyNotSupported, "주소 패밀리를 지원하지 않습니다."};
    case EADDRNOTAVAIL:
      return {kAddressNotAvailable, "요청한 주소를 사용할 수 없습니다."};
    case ENOBUFS:
    case ENOMEM:
      return {kNoBufferSpace, "버퍼 공간이 부족합니다."};
    case EINVAL:
      return {socket_error::kInvalidArgument, "잘못된 인수입니다."};
    default:
      return {socket_error::kConnectionAborted,
              "소켓 오류 " + ToDecimal(error) + ": " + std::strerror(error)};
  }
}

ClassicError FromResolverError(int error, int systemError, std::string_view host) {
  const std::string name(host);
  switch (error) {
    case EAI_AGAIN:
      return {socket_error::kTryAgain,
              "호스트를 지금 찾을 수 없습니다. 나중에 다시 시도하십시오: " + name};
    case EAI_FAIL:
      return {kNoRecovery, "이름 서버에서 복구할 수 없는 오류가 발생했습니다: " + name};
#ifdef EAI_NODATA
    case EAI_NODATA:
      return {socket_error::kNoData, "이름에 해당하는 주소가 없습니다: " + name};
#endif
    case EAI_MEMORY:
      return {kNoBufferSpace, "버퍼 공간이 부족합니다."};
    case EAI_SYSTEM:
      return FromErrno(systemError);
    default:
      return {socket_error::kHostNotFound, "호스트를 찾을 수 없습니다: " + name};
  }
}

bool MakeNonBlockingAndCloseOnExec(int fd) {
  const int statusFlags = fcntl(fd, F_GETFL);
  const int descriptorFlags = fcntl(fd, F_GETFD);
  return statusFlags >= 0 && descriptorFlags >= 0 &&
         fcntl(fd, F_SETFL, statusFlags | O_NONBLOCK) == 0 &&
         fcntl(fd, F_SETFD, descriptorFlags | FD_CLOEXEC) == 0;
}

bool IsTemporary(int error) {
  return error == EAGAIN || error == EWOULDBLOCK;
}

}  // namespace

PosixTcpSocket::PosixTcpSocket(PollEventLoop& loop, SocketEvents& events, std::size_t receiveLimit)
    : loop_(loop), events_(loop, events), receiveLimit_(receiveLimit) {}

PosixTcpSocket::~PosixTcpSocket() {
  Close();
}

void PosixTcpSocket::Connect(std::string_view host, std::int32_t port) {
  const std::optional<std::string> name =
      BeginConnect(*this, &PosixTcpSocket::Fail, state_, host, port,
                   [host] { return FromResolverError(EAI_NONAME, 0, host).description; });
  if (!name) return;

  const std::string service = ToDecimal(port);
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const int result = getaddrinfo(name->c_str(), service.c_str(), &hints, &found);
  if (result != 0) {
    ClassicError error = FromResolverError(result, errno, host);
    Fail(error.number, std::move(error.description));
    return;
  }
  for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
    Endpoint endpoint{};
    std::memcpy(&endpoint.address, entry->ai_addr, entry->ai_addrlen);
    endpoint.length = entry->ai_addrlen;
    endpoint.family = entry->ai_family;
    endpoints_.push_back(endpoint);
  }
  freeaddrinfo(found);

  state_ = SocketState::kConnecting;
  ConnectToNextEndpoint();
}

void PosixTcpSocket::Send(std::span<const std::byte> data) {
  SendShared({data, nullptr});
}

void PosixTcpSocket::SendShared(SharedBytes data) {
  RequireConnected(state_);
  const std::size_t size = data.bytes.size();
  if (Gathers(size)) {
    outgoing_.Append(std::move(data));
    ReportSent(size);
    if (outgoing_.Size() >= kGatherLimit && !WriteQueued()) return;
    UpdateInterest();
    return;
  }
  if (!outgoing_.Empty()) {
    // Earlier bytes go first: gathered ones now, the kernel's backlog with the writable event.
    const bool backlog = unreported_ > 0;
    outgoing_.Append(std::move(data));
    unreported_ += size;
    if (!backlog && !WriteQueued()) return;
    UpdateInterest();
    return;
  }
  std::size_t taken = 0;
  if (!SendFrom(data.bytes, taken)) {
    FailAfterReading(errno);
    return;
  }
  data.bytes = data.bytes.subspan(taken);
  outgoing_.Append(std::move(data));
  unreported_ = outgoing_.Size();
  if (taken > 0) ReportSent(taken);
  UpdateInterest();
}

bool PosixTcpSocket::Gathers(std::size_t size) const {
  return unreported_ == 0 && size < kGatherLimit && outgoing_.Size() + size <= kGatherLimit;
}

void PosixTcpSocket::GetData(ByteBuffer& out) {
  events_.HandOver(out);
  UpdateInterest();
}

void PosixTcpSocket::Close() {
  events_.Silence();
  WriteGathered();
  ReleaseDescriptor();
  endpoints_.clear();
  nextEndpoint_ = 0;
  DropOutgoing();
  state_ = SocketState::kClosed;
}

void PosixTcpSocket::ConnectToNextEndpoint() {
  while (nextEndpoint_ < endpoints_.size()) {
    const Endpoint& endpoint = endpoints_[nextEndpoint_++];
    const int fd = socket(endpoint.family, SOCK_STREAM, 0);
    if (fd < 0) {
      lastConnectError_ = errno;
      continue;
    }
    if (!MakeNonBlockingAndCloseOnExec(fd)) {
      lastConnectError_ = errno;
      close(fd);
      continue;
    }
    const auto* address = reinterpret_cast<const sockaddr*>(&endpoint.address);
    if (connect(fd, address, endpoint.length) == 0 || errno == EINPROGRESS) {
      fd_ = fd;
      interest_ = io_event::kWritable;
      watch_ = loop_.Watch(fd_, interest_, [this](IoEventMask ready) { OnReady(ready); });
      // A loopback connect may complete at once; the writable event finishes it either way.
      return;
    }
    lastConnectError_ = errno;
    close(fd);
  }
  FailWithErrno(lastConnectError_);
}

void PosixTcpSocket::OnReady(IoEventMask ready) {
  if (state_ == SocketState::kConnecting) {
    FinishConnecting();
    return;
  }
  if (ready & io_event::kError) {
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error != 0) {
      FailAfterReading(error);
      return;
    }
  }
  // Reading first hands over what arrived before a close or a failure the write would meet.
  const bool reading = events_.Incoming().size() < receiveLimit_;
  if (reading && (ready & (io_event::kReadable | io_event::kHangUp))) ReadAvailable();
  if (state_ != SocketState::kConnected) return;
  if ((ready & (io_event::kWritable | io_event::kHangUp)) && !outgoing_.Empty()) {
    if (!WriteQueued()) return;
  }
  UpdateInterest();
}

void PosixTcpSocket::FinishConnecting() {
  int error = 0;
  socklen_t length = sizeof error;
  if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
  if (error == 0) {
    BecomeConnected();
    return;
  }
  lastConnectError_ = error;
  ReleaseDescriptor();
  ConnectToNextEndpoint();
}

void PosixTcpSocket::BecomeConnected() {
  state_ = SocketState::kConnected;
  endpoints_.clear();
  UpdateInterest();
  events_.Post([](SocketEvents& e) { e.OnConnect(); });
}

PosixTcpSocket::ReadOutcome PosixTcpSocket::ReadWaiting() {
  ReadOutcome outcome;
  ByteBuffer& incoming = events_.Incoming();
  while (incoming.size() < receiveLimit_) {
    const std::size_t before = incoming.size();
    // Past the first chunk, one allocation takes everything up to the limit: later chunks
    // never move what is held, and no second buffer of the doubled size is made.
    if (before > 0 && incoming.capacity() < before + kReadChunk) {
      incoming.reserve(receiveLimit_ + kReadChunk);
    }
    incoming.resize(before + kReadChunk);
    const ssize_t count = recv(fd_, incoming.data() + before, kReadChunk, 0);
    incoming.resize(before + static_cast<std::size_t>(std::max<ssize_t>(count, 0)));
    if (count > 0) {
      outcome.arrived = true;
    } else if (count == 0) {
      outcome.peerClosed = true;
      break;
    } else if (errno != EINTR) {
      if (!IsTemporary(errno)) outcome.failure = errno;
      break;
    }
  }
  return outcome;
}

void PosixTcpSocket::ReadAvailable() {
  const auto [arrived, peerClosed, failure] = ReadWaiting();
  if (arrived) events_.AnnounceArrival();
  if (failure != 0) {
    FailWithErrno(failure);
  } else if (peerClosed) {
    // The owner may still take what arrived; Close releases the descriptor.
    state_ = SocketState::kClosing;
    loop_.Unwatch(watch_);
    watch_ = kNoWatch;
    DropOutgoing();
    events_.Post([](SocketEvents& e) { e.OnClose(); });
  }
}

bool PosixTcpSocket::WriteQueued() {
  // The gathered front was reported when it was handed over; only the rest is news.
  const std::size_t reported = outgoing_.Size() - unreported_;
  std::size_t taken = 0;
  const bool ok = SendFromQueue(outgoing_.Size(), taken);
  const int failure = errno;
  if (!ok) {
    FailAfterReading(failure);
    return false;
  }
  if (taken > reported) {
    unreported_ -= taken - reported;
    ReportSent(taken - reported);
  }
  return true;
}

void PosixTcpSocket::WriteGathered() {
  const std::size_t gathered = outgoing_.Size() - unreported_;
  if (state_ != SocketState::kConnected || gathered == 0) return;
  std::size_t taken = 0;
  SendFromQueue(gathered, taken);
}

bool PosixTcpSocket::SendFrom(std::span<const std::byte> bytes, std::size_t& taken) {
  taken = 0;
  while (taken < bytes.size()) {
    // MSG_NOSIGNAL: a closed peer is an error to report, not a SIGPIPE for the process.
    const ssize_t count =
        send(fd_, bytes.data() + taken, bytes.size() - taken, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (count > 0) {
      taken += static_cast<std::size_t>(count);
    } else if (count < 0 && errno != EINTR) {
      return IsTemporary(errno);
    }
  }
  return true;
}

bool PosixTcpSocket::SendFromQueue(std::size_t limit, std::size_t& taken) {
  taken = 0;
  std::array<std::span<const std::byte>, kRunsPerCall> runs;
  std::array<iovec, kRunsPerCall> vectors{};
  while (taken < limit) {
    const std::size_t count = outgoing_.Runs(runs, limit - taken);
    if (count == 0) break;
    for (std::size_t index = 0; index < count; ++index) {
      // sendmsg only reads through the pointer; iovec has no const version.
      vectors[index].iov_base = const_cast<std::byte*>(runs[index].data());
      vectors[index].iov_len = runs[index].size();
    }
    msghdr message{};
    message.msg_iov = vectors.data();
    message.msg_iovlen = count;
    const ssize_t sent = sendmsg(fd_, &message, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent > 0) {
      outgoing_.Consume(static_cast<std::size_t>(sent));
      taken += static_cast<std::size_t>(sent);
    } else if (sent < 0 && errno != EINTR) {
      return IsTemporary(errno);
    }
  }
  return true;
}

void PosixTcpSocket::ReportSent(std::size_t sent) {
  if (sent > 0 && unreported_ == 0) {
    events_.PostAllSent(SaturatedInt32(sent));
    return;
  }
  if (sent > 0) {
    events_.Post([sent = SaturatedInt32(sent), left = SaturatedInt32(unreported_)](
                     SocketEvents& e) { e.OnSendProgress(sent, left); });
  }
  if (unreported_ == 0) events_.Post([](SocketEvents& e) { e.OnSendComplete(); });
}

void PosixTcpSocket::UpdateInterest() {
  if (watch_ == kNoWatch || state_ != SocketState::kConnected) return;
  IoEventMask wanted = io_event::kNone;
  if (events_.Incoming().size() < receiveLimit_) wanted |= io_event::kReadable;
  if (!outgoing_.Empty()) wanted |= io_event::kWritable;
  if (wanted == interest_) return;
  interest_ = wanted;
  loop_.Update(watch_, wanted);
}

void PosixTcpSocket::Fail(std::int32_t number, std::string description) {
  ReleaseDescriptor();
  endpoints_.clear();
  DropOutgoing();
  state_ = SocketState::kError;
  events_.Post([number, description = std::move(description)](SocketEvents& e) {
    e.OnError(number, description);
  });
}

void PosixTcpSocket::FailAfterReading(int error) {
  // A server that answers early and resets (413 and close) has its answer waiting in the
  // receive queue; it is handed over before the failure.
  if (ReadWaiting().arrived) events_.AnnounceArrival();
  FailWithErrno(error);
}

void PosixTcpSocket::FailWithErrno(int error) {
  ClassicError classic = FromErrno(error);
  Fail(classic.number, std::move(classic.description));
}

void PosixTcpSocket::DropOutgoing() {
  outgoing_.Clear();
  unreported_ = 0;
}

void PosixTcpSocket::ReleaseDescriptor() {
  loop_.Unwatch(watch_);
  watch_ = kNoWatch;
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

}  // namespace veldrask::posix
