#include "posix/tls_socket.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "base/error.h"

namespace veldrask::posix {
namespace {

constexpr std::size_t kReadChunk = 64 * 1024;

constexpr std::string_view kWrongStateText =
    "요청한 트랜잭션이나 요청에 대해 프로토콜이나 연결 상태가 잘못되었습니다.";
constexpr std::string_view kPlainHttpText =
    "서버가 TLS가 아닌 평문(HTTP)으로 응답했습니다. 이 포트(ServerPort)의 서버는 HTTPS를 쓰지 "
    "않습니다.";

bool IsAddressLiteral(const std::string& host) {
  unsigned char address[16];
  return inet_pton(AF_INET, host.c_str(), address) == 1 ||
         inet_pton(AF_INET6, host.c_str(), address) == 1;
}

struct CertificateFailure {
  std::int32_t number;
  std::string description;
};

CertificateFailure DescribeVerification(long result, const std::string& host) {
  switch (result) {
    case X509_V_ERR_CERT_HAS_EXPIRED:
      return {socket_error::kCertificateExpired, "서버 인증서의 유효 기간이 지났습니다."};
    case X509_V_ERR_CERT_NOT_YET_VALID:
      return {socket_error::kCertificateExpired,
              "서버 인증서의 유효 기간이 아직 시작되지 않았습니다."};
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
      return {socket_error::kCertificateWrongName,
              "서버 인증서가 이 서버의 이름(" + host + ")으로 발급된 것이 아닙니다."};
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
      return {socket_error::kCertificateUnknownIssuer,
              "서버 인증서가 신뢰하지 않는 자체 서명 인증서입니다."};
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
      return {socket_error::kCertificateUnknownIssuer,
              "서버 인증서의 발급 기관을 알 수 없어 신뢰할 수 없습니다."};
    default:
      return {socket_error::kCertificateInvalid,
              std::string("서버 인증서를 확인하지 못했습니다: ") +
                  OpenSsl().X509_verify_cert_error_string(result)};
  }
}

}  // namespace

PosixTlsSocket::PosixTlsSocket(PollEventLoop& loop, std::shared_ptr<const TlsContext> context,
                               SocketEvents& events)
    : context_(std::move(context)), events_(loop, events) {
  SocketEvents& transportEvents = *this;
  transport_ = std::make_unique<PosixTcpSocket>(loop, transportEvents, kReceiveLimit);
}

PosixTlsSocket::~PosixTlsSocket() {
  Close();
}

void PosixTlsSocket::Connect(std::string_view host, std::int32_t port) {
  if (state_ != SocketState::kClosed && state_ != SocketState::kError) {
    throw Error(socket_error::kInvalidOperation, std::string(kWrongStateText));
  }
  Close();
  host_ = std::string(WithoutBrackets(host));
  ssl_.reset(OpenSsl().SSL_new(context_->Get()));
  BIO* const records = ssl_ ? NewTlsRecordBio(*this) : nullptr;
  if (records == nullptr) {
    Close();
    throw Error(ErrorNumber::kOutOfMemory);
  }
  OpenSsl().SSL_set_bio(ssl_.get(), records, records);
  OpenSsl().SSL_set_connect_state(ssl_.get());
  OpenSsl().SSL_set_ex_data(ssl_.get(), 0, this);
  OpenSsl().SSL_set_msg_callback(ssl_.get(), &PosixTlsSocket::NoteMessage);
  // The name is checked against the certificate and sent in the handshake; an address is
  // only checked, as a server name may not be one.
  if (IsAddressLiteral(host_)) {
    OpenSsl().X509_VERIFY_PARAM_set1_ip_asc(OpenSsl().SSL_get0_param(ssl_.get()), host_.c_str());
  } else {
    OpenSsl().SSL_ctrl(ssl_.get(), SSL_CTRL_SET_TLSEXT_HOSTNAME, TLSEXT_NAMETYPE_host_name,
                       const_cast<char*>(host_.c_str()));
    OpenSsl().SSL_set1_host(ssl_.get(), host_.c_str());
  }
  state_ = SocketState::kConnecting;
  transport_->Connect(host, port);
}

void PosixTlsSocket::Send(std::span<const std::byte> data) {
  if (state_ != SocketState::kConnected) {
    throw Error(socket_error::kInvalidOperation, std::string(kWrongStateText));
  }
  if (data.empty()) {
    if (plainQueued_ == 0) events_.Post([](SocketEvents& e) { e.OnSendComplete(); });
    return;
  }
  OpenSsl().ERR_clear_error();
  std::size_t written = 0;
  if (OpenSsl().SSL_write_ex(ssl_.get(), data.data(), data.size(), &written) != 1) {
    FailWithTlsError("보안 연결(TLS)로 보내지 못했습니다");
    return;
  }
  plainQueued_ += written;
  // When the kernel took every record at once, the owner need not wait for the plain
  // socket's own report to send the next block.
  if (transport_->State() == SocketState::kConnected && transport_->Unsent() == 0) ReportSent();
}

void PosixTlsSocket::GetData(ByteBuffer& out) {
  events_.HandOver(out);
  if (state_ == SocketState::kConnected) Pump();
}

void PosixTlsSocket::Close() {
  events_.Silence();
  transport_->Close();
  ssl_.reset();
  arrived_.clear();
  arrivedRead_ = 0;
  firstBytes_.clear();
  plainQueued_ = 0;
  transportClosed_ = closeNotified_ = renegotiationAsked_ = false;
  state_ = SocketState::kClosed;
}

void PosixTlsSocket::OnConnect() {
  Pump();
}

// Only the whole of a send is reported: the plain socket counts records, not the owner's bytes.
void PosixTlsSocket::OnSendProgress(std::int32_t /*sent*/, std::int32_t /*remaining*/) {}

void PosixTlsSocket::OnSendComplete() {
  if (state_ == SocketState::kConnected) ReportSent();
}

void PosixTlsSocket::ReportSent() {
  if (plainQueued_ == 0) return;
  const std::int32_t sent = SaturatedInt32(std::exchange(plainQueued_, 0));
  events_.Post([sent](SocketEvents& e) { e.OnSendProgress(sent, 0); });
  events_.Post([](SocketEvents& e) { e.OnSendComplete(); });
}

void PosixTlsSocket::OnDataArrival(std::int32_t /*bytesTotal*/) {
  Pump();
}

void PosixTlsSocket::OnClose() {
  transportClosed_ = true;
  Pump();
}

void PosixTlsSocket::OnError(std::int32_t number, std::string_view description) {
  if (!ssl_) return;
  if (OpenSsl().SSL_is_init_finished(ssl_.get())) {
    Fail(number, std::string(description));
  } else if (AnsweredInPlainText()) {
    Fail(socket_error::kSecureChannelFailed, std::string(kPlainHttpText));
  } else {
    Fail(number, "보안 연결(TLS)을 맺는 중에 연결이 끊겼습니다: " + std::string(description));
  }
}

void PosixTlsSocket::NoteMessage(int writing, int /*version*/, int contentType, const void* bytes,
                                 std::size_t length, SSL* ssl, void* /*argument*/) {
  auto* self = static_cast<PosixTlsSocket*>(OpenSsl().SSL_get_ex_data(ssl, 0));
  if (writing == 0 && contentType == SSL3_RT_HANDSHAKE && length > 0 &&
      *static_cast<const unsigned char*>(bytes) == SSL3_MT_HELLO_REQUEST) {
    self->renegotiationAsked_ = true;
  }
}

bool PosixTlsSocket::AnsweredInPlainText() const {
  // Every TLS record starts with its type (20 to 24) and the major version 3.
  if (firstBytes_.empty()) return false;
  const auto type = static_cast<unsigned char>(firstBytes_[0]);
  return type < 20 || type > 24 || (firstBytes_.size() > 1 && firstBytes_[1] != 3);
}

void PosixTlsSocket::Pump() {
  while (ssl_ && !closeNotified_) {
    if (!OpenSsl().SSL_is_init_finished(ssl_.get()) && !Handshake()) return;
    if (OpenSsl().SSL_is_init_finished(ssl_.get()) && !Decrypt()) return;
    if (closeNotified_ || events_.Incoming().size() >= kReceiveLimit) return;
    if (!TakeRecords()) {
      if (transportClosed_) EndOfTransport();
      return;
    }
  }
}

bool PosixTlsSocket::Handshake() {
  OpenSsl().ERR_clear_error();
  const int result = OpenSsl().SSL_do_handshake(ssl_.get());
  if (result == 1) {
    state_ = SocketState::kConnected;
    events_.Post([](SocketEvents& e) { e.OnConnect(); });
    return true;
  }
  if (OpenSsl().SSL_get_error(ssl_.get(), result) == SSL_ERROR_WANT_READ) return true;
  // The alert that tells the server why has gone to the plain socket before it is dropped.
  FailHandshake();
  return false;
}

bool PosixTlsSocket::Decrypt() {
  ByteBuffer& incoming = events_.Incoming();
  while (incoming.size() < kReceiveLimit) {
    const std::size_t before = incoming.size();
    // One allocation holds everything up to the limit; growing by chunks would double it.
    if (before > 0 && incoming.capacity() < kReceiveLimit + kReadChunk) {
      incoming.reserve(kReceiveLimit + kReadChunk);
    }
    incoming.resize(before + kReadChunk);
    std::size_t got = 0;
    OpenSsl().ERR_clear_error();
    const int result =
        OpenSsl().SSL_read_ex(ssl_.get(), incoming.data() + before, kReadChunk, &got);
    incoming.resize(before + got);
    if (result == 1) {
      events_.AnnounceArrival();
      continue;
    }
    const int error = OpenSsl().SSL_get_error(ssl_.get(), result);
    if (error == SSL_ERROR_WANT_READ) return true;
    if (error == SSL_ERROR_ZERO_RETURN) {
      // The server ended the stream on purpose: what came before it is whole.
      closeNotified_ = true;
      state_ = SocketState::kClosing;
      transport_->Close();
      events_.Post([](SocketEvents& e) { e.OnClose(); });
      return true;
    }
    FailWithTlsError("보안 연결(TLS)에서 받은 내용을 읽지 못했습니다");
    return false;
  }
  return true;
}

bool PosixTlsSocket::WriteRecords(std::span<const std::byte> records) {
  // A plain socket that failed has its error on the way; the records have nowhere to go.
  if (transport_->State() != SocketState::kConnected) return true;
  try {
    transport_->Send(records);
  } catch (const std::bad_alloc&) {
    return false;  // no exception may cross OpenSSL's frames
  }
  return true;
}

std::size_t PosixTlsSocket::ReadRecords(std::span<std::byte> buffer) {
  const std::size_t count = std::min(buffer.size(), arrived_.size() - arrivedRead_);
  if (count > 0) std::memcpy(buffer.data(), arrived_.data() + arrivedRead_, count);
  arrivedRead_ += count;
  return count;
}

bool PosixTlsSocket::TakeRecords() {
  if (arrivedRead_ < arrived_.size()) return true;
  arrived_.clear();
  arrivedRead_ = 0;
  transport_->GetData(arrived_);
  if (arrived_.empty()) return false;
  const std::size_t wanted = std::min<std::size_t>(5 - firstBytes_.size(), arrived_.size());
  for (std::size_t i = 0; i < wanted; ++i) {
    firstBytes_.push_back(static_cast<char>(arrived_[i]));
  }
  return true;
}

void PosixTlsSocket::EndOfTransport() {
  if (!OpenSsl().SSL_is_init_finished(ssl_.get())) {
    Fail(socket_error::kSecureChannelFailed,
         AnsweredInPlainText()
             ? std::string(kPlainHttpText)
             : "보안 연결(TLS)을 맺는 중에 서버가 연결을 끊었습니다. HTTPS 서버가 "
               "아닐 수 있습니다.");
    return;
  }
  Fail(socket_error::kConnectionAborted,
       "서버가 보안 연결(TLS)의 종료 알림 없이 연결을 끊었습니다. 받은 내용이 잘렸을 수 "
       "있습니다.");
}

void PosixTlsSocket::FailHandshake() {
  const long verification = OpenSsl().SSL_get_verify_result(ssl_.get());
  if (context_->VerifiesPeer() && verification != X509_V_OK) {
    CertificateFailure failure = DescribeVerification(verification, host_);
    Fail(failure.number, std::move(failure.description));
  } else if (AnsweredInPlainText()) {
    Fail(socket_error::kSecureChannelFailed, std::string(kPlainHttpText));
  } else {
    FailWithTlsError("보안 연결(TLS) 프로토콜 오류로 연결하지 못했습니다");
  }
}

void PosixTlsSocket::FailWithTlsError(std::string_view during) {
  const unsigned long code = OpenSsl().ERR_peek_last_error();
  OpenSsl().ERR_clear_error();
  const char* reason = code != 0 ? OpenSsl().ERR_reason_error_string(code) : nullptr;
  std::string description(during);
  if (renegotiationAsked_) {
    // The server asked to negotiate again, which this client never does, and gave up.
    description += " (서버가 재협상(renegotiation)을 요구했지만 허용하지 않았습니다)";
    Fail(socket_error::kSecureChannelFailed, std::move(description));
    return;
  }
  switch (ERR_GET_REASON(code)) {
    case SSL_R_UNSUPPORTED_PROTOCOL:
    case SSL_R_TLSV1_ALERT_PROTOCOL_VERSION:
    case SSL_R_NO_PROTOCOLS_AVAILABLE:
      description += " (서버가 TLS 1.2 이상을 지원하지 않습니다)";
      break;
    case SSL_R_EXCESSIVE_MESSAGE_SIZE:
      description += " (서버가 보낸 인증서 체인이 너무 큽니다)";
      break;
    default:
      description += std::string(" (") + (reason != nullptr ? reason : "unknown") + ")";
  }
  Fail(socket_error::kSecureChannelFailed, std::move(description));
}

void PosixTlsSocket::Fail(std::int32_t number, std::string description) {
  transport_->Close();
  ssl_.reset();
  plainQueued_ = 0;
  state_ = SocketState::kError;
  events_.Post([number, description = std::move(description)](SocketEvents& e) {
    e.OnError(number, description);
  });
}

}  // namespace veldrask::posix
