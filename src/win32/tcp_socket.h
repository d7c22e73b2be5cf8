#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/send_queue.h"
#include "platform/tcp_socket.h"
#include "win32/message_event_loop.h"

namespace veldrask::win32 {

// A non-blocking Winsock client whose notifications (WSAAsyncSelect) arrive at the loop's
// hidden window. Like the POSIX socket, every event is posted to the loop, so none is raised
// from inside a call on the socket, and events are seen in the order they happened. Error
// numbers are Winsock's own, with the system's description. The loop must outlive the socket.
class Win32TcpSocket final : public TcpSocket {
 public:
  // Bytes held for the owner before reading pauses; GetData resumes it.
  static constexpr std::size_t kReceiveLimit = std::size_t{1} << 20;

  // receiveLimit: the bytes held for the owner before reading pauses.
  Win32TcpSocket(MessageEventLoop& loop, SocketEvents& events,
                 std::size_t receiveLimit = kReceiveLimit);
  // Closes; safe at any time, also from inside one of the socket's own event handlers.
  ~Win32TcpSocket() override;
  Win32TcpSocket(const Win32TcpSocket&) = delete;
  Win32TcpSocket& operator=(const Win32TcpSocket&) = delete;

  // Allowed when Closed or after an Error. A literal address is parsed at once; a host name is
  // resolved on a worker thread that posts the result back, so the thread never waits for the
  // name server. Failures, an invalid port included, arrive as OnError.
  void Connect(std::string_view host, std::int32_t port) override;
  SocketState State() const override { return state_; }
  // Hands Winsock what it takes now and keeps only the rest. Raises error 40006 unless
  // connected.
  void Send(std::span<const std::byte> data) override;
  void GetData(ByteBuffer& out) override;
  // Bytes queued and not yet taken by Winsock.
  bool HoldsUnsent() const override { return outgoing_.Size() != 0; }
  // Drops the connection, both buffers and every event not yet delivered.
  void Close() override;

 private:
  struct Endpoint {
    sockaddr_storage address;
    int length;
    int family;
  };
  struct Liveness {};
  struct ReadOutcome {
    bool arrived = false;
    bool peerClosed = false;
    int failure = 0;
  };

  void StartResolving(const std::string& name, const std::string& service);
  void Resolved(int error, std::vector<Endpoint> endpoints);
  void ConnectToNextEndpoint();
  void OnNotification(WPARAM socket, LPARAM eventAndError);
  void BecomeConnected();
  void ReadAvailable();
  // Reads what Winsock holds into incoming_, up to the receive limit; acts on nothing.
  ReadOutcome ReadWaiting();
  // Writes from the queue; false when the connection failed (already reported).
  bool WriteQueued();
  // Sends from bytes until Winsock stops taking them; false on a failure, its code in failure.
  bool SendFrom(std::span<const std::byte> bytes, std::size_t& taken, int& failure);
  void ReportSent(std::size_t sent);
  void AnnounceArrival();
  void PeerClosed();
  void Fail(std::int32_t number, std::string description);
  void FailWithCode(int error);
  // Hands over what is waiting to be read, then fails with error.
  void FailAfterReading(int error);
  void ReleaseSocket();
  void Emit(std::function<void()> fire);

  MessageEventLoop& loop_;
  SocketEvents& events_;
  const std::size_t receiveLimit_;
  SocketState state_ = SocketState::kClosed;
  SOCKET socket_ = INVALID_SOCKET;
  UINT message_ = 0;

  std::vector<Endpoint> endpoints_;
  std::size_t nextEndpoint_ = 0;
  int lastConnectError_ = 0;

  SendQueue outgoing_;
  ByteBuffer incoming_;
  bool arrivalAnnounced_ = false;
  // Reading stopped at the receive limit; Winsock notifies again only after the next recv.
  bool readPaused_ = false;
  bool resumeScheduled_ = false;
  bool peerClosing_ = false;  // FD_CLOSE seen while data was still waiting

  // Posted events hold a weak reference; Close replaces it, so they fall silent.
  std::shared_ptr<Liveness> liveness_ = std::make_shared<Liveness>();
};

}  // namespace veldrask::win32
