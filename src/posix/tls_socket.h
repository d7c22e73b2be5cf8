#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/tcp_socket.h"
#include "posix/openssl_library.h"
#include "posix/poll_event_loop.h"
#include "posix/socket_events_queue.h"
#include "posix/tcp_socket.h"
#include "posix/tls_context.h"
#include "posix/tls_record_bio.h"

namespace veldrask::posix {

// TLS over a plain socket of the same loop: TLS writes its records straight into the plain
// socket and reads them from what it received, so the plain socket keeps doing the connecting,
// the waiting and the bookkeeping of what the kernel took.
// Events are posted, as the plain socket's are; Connected comes after the handshake and the
// certificate check. The loop must outlive the socket.
class PosixTlsSocket final : public TcpSocket, private SocketEvents, private TlsRecordChannel {
 public:
  // Plain text held for the owner before decrypting pauses; GetData resumes it. The records
  // waiting in the plain socket are held to the same. Buffers this small stay in the
  // processor's cache: a download took less CPU and 0.6 MiB less memory than with 256 KiB.
  static constexpr std::size_t kReceiveLimit = std::size_t{64} << 10;

  // transport: the connection the records go over.
  PosixTlsSocket(PollEventLoop& loop, std::shared_ptr<const TlsContext> context,
                 SocketEvents& events, const TransportMaker& transport);
  ~PosixTlsSocket() override;
  PosixTlsSocket(const PosixTlsSocket&) = delete;
  PosixTlsSocket& operator=(const PosixTlsSocket&) = delete;

  void Connect(std::string_view host, std::int32_t port) override;
  SocketState State() const override { return state_; }
  // Encrypts all of data at once; it counts as sent when the network has taken its records.
  void Send(std::span<const std::byte> data) override;
  void GetData(ByteBuffer& out) override;
  void Close() override;

 private:
  struct SslFree {
    void operator()(SSL* ssl) const { OpenSsl().SSL_free(ssl); }
  };

  // The plain socket's events.
  void OnConnect() override;
  void OnSendProgress(std::int32_t sent, std::int32_t remaining) override;
  void OnSendComplete() override;
  void OnDataArrival(std::int32_t bytesTotal) override;
  void OnClose() override;
  void OnError(std::int32_t number, std::string_view description) override;

  // The records' way in and out.
  bool WriteRecords(std::span<const std::byte> records) override;
  std::size_t ReadRecords(std::span<std::byte> buffer) override;

  // Notes a server's request to negotiate again, to name it when the connection then fails.
  static void NoteMessage(int writing, int version, int contentType, const void* bytes,
                          std::size_t length, SSL* ssl, void* argument);
  // The server's first bytes are no TLS record (a plain HTTP server's answer, say).
  bool AnsweredInPlainText() const;
  // Moves records in and plain text out until one side has to wait.
  void Pump();
  bool Handshake();
  // Decrypts for the owner up to the limit; false once the socket has failed.
  bool Decrypt();
  // Once TLS has read all it was given, takes what the plain socket holds; false when TLS has
  // nothing left to read.
  bool TakeRecords();
  void EndOfTransport();
  void FailHandshake();
  void FailWithTlsError(std::string_view during);
  void Fail(std::int32_t number, std::string description);
  void ReportSent();

  std::shared_ptr<const TlsContext> context_;
  SocketEventsQueue events_;
  std::unique_ptr<TcpSocket> transport_;
  SocketState state_ = SocketState::kClosed;
  std::string host_;
  std::unique_ptr<SSL, SslFree> ssl_;
  ByteBuffer arrived_;  // records taken from the plain socket, read by TLS from the front
  std::size_t arrivedRead_ = 0;
  std::string firstBytes_;  // the server's first bytes, to tell a plain-text answer
  std::size_t plainQueued_ = 0;
  bool transportOpened_ = false;
  bool transportClosed_ = false;
  bool closeNotified_ = false;
  bool renegotiationAsked_ = false;
};

}  // namespace veldrask::posix
