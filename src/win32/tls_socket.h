#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/tcp_socket.h"
#include "win32/message_event_loop.h"
#include "win32/tcp_socket.h"
#include "win32/tls_certificate_check.h"

namespace veldrask::win32 {

// TLS through SChannel over a plain socket of the same loop: the plain socket keeps doing the
// connecting, the waiting and the bookkeeping of what Winsock took; SChannel turns records into
// plain text and back. Events are posted, as the plain socket's are; Connected comes after the
// handshake and the certificate check. TLS 1.2 and 1.3 only, no renegotiation (TLS 1.3's
// messages after the handshake are taken). The loop must outlive the socket.
class Win32TlsSocket final : public TcpSocket, private SocketEvents {
 public:
  // Plain text held for the owner before decrypting pauses; GetData resumes it. The records
  // waiting in the plain socket are held to the same.
  static constexpr std::size_t kReceiveLimit = std::size_t{256} << 10;
  // The most a server may send before its handshake is done: far more than any real chain of
  // certificates needs (the OpenSSL socket allows 100 KiB of them), so a larger one can only be
  // refused as too big, before all of it is held.
  static constexpr std::size_t kHandshakeLimit = std::size_t{100} << 10;

  // trust: what the server's certificate must chain to, shared with the network that made it;
  // transport: the connection the records go over.
  Win32TlsSocket(MessageEventLoop& loop, SocketEvents& events,
                 std::shared_ptr<const TlsTrust> trust, const TransportMaker& transport);
  ~Win32TlsSocket() override;
  Win32TlsSocket(const Win32TlsSocket&) = delete;
  Win32TlsSocket& operator=(const Win32TlsSocket&) = delete;

  void Connect(std::string_view host, std::int32_t port) override;
  SocketState State() const override { return state_; }
  // Encrypts all of data at once; it counts as sent when Winsock has taken its records.
  void Send(std::span<const std::byte> data) override;
  void GetData(ByteBuffer& out) override;
  void Close() override;

 private:
  struct Liveness {};

  // The plain socket's events.
  void OnConnect() override;
  void OnSendProgress(std::int32_t sent, std::int32_t remaining) override;
  void OnSendComplete() override;
  void OnDataArrival(std::int32_t bytesTotal) override;
  void OnClose() override;
  void OnError(std::int32_t number, std::string_view description) override;

  // Moves records in and plain text out until one side has to wait.
  void Pump();
  // One handshake step after another while records allow (the first one even without when
  // asked); false once the socket has failed.
  bool Handshake(bool evenWithoutRecords = false);
  // In the handshake, or in a message that came after it.
  bool Handshaking() const { return !established_ || postHandshake_; }
  bool FinishHandshake();
  // Decrypts for the owner up to the limit; false once the socket has failed.
  bool Decrypt();
  // Appends what the plain socket holds to the records; false when it had nothing.
  bool TakeRecords();
  // Forgets the records SChannel used, keeping the extra bytes it left at their end.
  void ConsumeRecords(const SecBuffer& last);
  void SendToken(SecBuffer& token);
  // The server's first bytes are no TLS record (a plain HTTP server's answer, say).
  bool AnsweredInPlainText() const;
  void EndOfTransport();
  void FailHandshake(SECURITY_STATUS status);
  void Fail(std::int32_t number, std::string description);
  void ReleaseSecurity();
  void ReportSent();
  void AnnounceArrival();
  void Post(std::function<void(SocketEvents&)> fire);

  MessageEventLoop& loop_;
  SocketEvents& events_;
  std::shared_ptr<const TlsTrust> trust_;
  std::unique_ptr<TcpSocket> transport_;
  SocketState state_ = SocketState::kClosed;
  std::string host_;
  std::wstring targetName_;
  CredHandle credentials_{};
  CtxtHandle context_{};
  bool haveCredentials_ = false;
  bool haveContext_ = false;
  bool established_ = false;
  bool postHandshake_ = false;  // a TLS 1.3 message after the handshake is being taken
  SecPkgContext_StreamSizes sizes_{};
  unsigned long protocol_ = 0;  // SP_PROT_* of the connection made
  ByteBuffer records_;  // records from the plain socket; those before recordsUsed_ are spent
  std::size_t recordsUsed_ = 0;
  ByteBuffer sealed_;    // records of one send on their way to the plain socket
  ByteBuffer incoming_;  // plain text for the owner
  std::string firstBytes_;
  std::size_t handshakeReceived_ = 0;  // bytes from the server before the handshake was done
  std::size_t plainQueued_ = 0;
  bool transportClosed_ = false;
  bool closeNotified_ = false;
  bool arrivalAnnounced_ = false;
  bool emptyRecordLast_ = false;  // the last record decrypted had no content
  // Posted events hold a weak reference; Close replaces it, so they fall silent.
  std::shared_ptr<Liveness> liveness_ = std::make_shared<Liveness>();
};

}  // namespace veldrask::win32
