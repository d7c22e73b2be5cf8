#pragma once

#include <sys/socket.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "base/send_queue.h"
#include "platform/tcp_socket.h"
#include "posix/poll_event_loop.h"
#include "posix/socket_events_queue.h"

namespace veldrask::posix {

// A non-blocking TCP client on the poll loop. Every event is posted to the loop, so none is
// ever raised from inside a call on the socket, and events are seen in the order they
// happened. The loop must outlive the socket.
class PosixTcpSocket final : public TcpSocket {
 public:
  // Bytes held for the owner before reading pauses; GetData resumes it.
  static constexpr std::size_t kReceiveLimit = std::size_t{1} << 20;
  // Sends smaller than this are gathered up to this many bytes and handed to the kernel
  // together: small blocks sent one by one would cost a system call each.
  static constexpr std::size_t kGatherLimit = std::size_t{512} << 10;

  // receiveLimit: the bytes held for the owner before reading pauses.
  PosixTcpSocket(PollEventLoop& loop, SocketEvents& events,
                 std::size_t receiveLimit = kReceiveLimit);
  // Closes; safe at any time, also from inside one of the socket's own event handlers.
  ~PosixTcpSocket() override;
  PosixTcpSocket(const PosixTcpSocket&) = delete;
  PosixTcpSocket& operator=(const PosixTcpSocket&) = delete;

  // Allowed when Closed or after an Error. Host names are resolved with getaddrinfo, which
  // blocks the thread for the lookup (a literal address is parsed without any lookup); the
  // connection itself never blocks. Failures, an invalid port included, arrive as OnError.
  void Connect(std::string_view host, std::int32_t port) override;
  SocketState State() const override { return state_; }
  // Bytes of earlier sends not yet reported as sent.
  bool HoldsUnsent() const override { return unreported_ != 0; }
  // A small send joins the gathered bytes and counts as sent at once; the gathered bytes go to
  // the kernel once they reach kGatherLimit, before any larger send, and whenever the loop
  // polls, so they never wait for more. A larger send hands the kernel what it takes now and
  // keeps only the rest. Raises error 40006 unless connected.
  void Send(std::span<const std::byte> data) override;
  // The same, keeping shared bytes in the queue without copying them.
  void SendShared(SharedBytes data) override;
  void GetData(ByteBuffer& out) override;
  // Drops the connection, both buffers and every event not yet delivered. Gathered bytes,
  // reported as sent, are first handed to the kernel as far as it takes them now, as bytes the
  // kernel took would still go out.
  void Close() override;

 private:
  struct Endpoint {
    sockaddr_storage address;
    socklen_t length;
    int family;
  };

  void ConnectToNextEndpoint();
  void OnReady(IoEventMask ready);
  void FinishConnecting();
  void BecomeConnected();
  void ReadAvailable();
  bool Gathers(std::size_t size) const;
  // Hands the kernel what it takes now of the gathered bytes; failures are left to the close.
  void WriteGathered();
  // Writes from the queue; false when the connection failed (already reported).
  bool WriteQueued();
  // Sends from bytes until the kernel stops taking them; false on a failure, errno set.
  bool SendFrom(std::span<const std::byte> bytes, std::size_t& taken);
  // Hands the kernel up to limit bytes from the queue's front, several runs per call, until it
  // stops taking them, and drops what it took; false on a failure, errno set.
  bool SendFromQueue(std::size_t limit, std::size_t& taken);
  // Reports sent bytes of the sends not yet reported (or an empty send when sent is 0).
  void ReportSent(std::size_t sent);
  void UpdateInterest();
  void Fail(std::int32_t number, std::string description);
  void FailWithErrno(int error);
  // Hands over what is waiting to be read, then fails with error.
  void FailAfterReading(int error);
  struct ReadOutcome {
    bool arrived = false;
    bool peerClosed = false;
    int failure = 0;
  };
  // Reads what the kernel holds into the owner's buffer, up to the receive limit; acts on nothing.
  ReadOutcome ReadWaiting();
  void DropOutgoing();
  void ReleaseDescriptor();

  PollEventLoop& loop_;
  SocketEventsQueue events_;  // posted; Close silences those not yet delivered
  const std::size_t receiveLimit_;
  SocketState state_ = SocketState::kClosed;
  int fd_ = -1;
  WatchId watch_ = kNoWatch;

  std::vector<Endpoint> endpoints_;
  std::size_t nextEndpoint_ = 0;
  int lastConnectError_ = 0;

  // What the kernel has not taken yet: gathered bytes, already reported as sent, and then the
  // last unreported_ bytes, of sends the owner still waits for.
  SendQueue outgoing_;
  std::size_t unreported_ = 0;
  IoEventMask interest_ = io_event::kNone;
};

}  // namespace veldrask::posix
