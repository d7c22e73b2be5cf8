#include "posix/tls_socket.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "base/error.h"
#include "platform/tls_failures.h"

namespace veldrask::posix {
namespace {

constexpr std::size_t kReadChunk = 64 * 1024;

bool IsAddressLiteral(const std::string& host) {
  unsigned char address[16];
  return inet_pton(AF_INET, host.c_str(), address) == 1 ||
         inet_pton(AF_INET6, host.c_str(), address) == 1;
}

tls_failure::CertificateRejection DescribeVerification(long result, const std::string& host) {
  using tls_failure::CertificateProblem;
  switch (result) {
    case X509_V_ERR_CERT_HAS_EXPIRED:
      return tls_failure::RejectCertificate(CertificateProblem::kExpired);
    case X509_V_ERR_CERT_NOT_YET_VALID:
      return tls_failure::RejectCertificate(CertificateProblem::kNotYetValid);
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
      return tls_failure::RejectCertificate(CertificateProblem::kWrongName, host);
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
      return tls_failure::RejectCertificate(CertificateProblem::kSelfSigned);
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
      return tls_failure::RejectCertificate(CertificateProblem::kUnknownIssuer);
    default:
      return tls_failure::RejectCertificate(CertificateProblem::kOther,
                                            OpenSsl().X509_verify_cert_error_string(result));
  }
}

}  // namespace

PosixTlsSocket::PosixTlsSocket(PollEventLoop& loop, std::shared_ptr<const TlsContext> context,
                               SocketEvents& events, const TransportMaker& transport)
    : context_(std::move(context)), events_(loop, events) {
  SocketEvents& transportEvents = *this;
  transport_ = transport(transportEvents);
}

PosixTlsSocket::~PosixTlsSocket() {
  Close();
}

void PosixTlsSocket::Connect(std::string_view host, std::int32_t port) {
  RequireConnectable(state_);
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
  RequireConnected(state_);
  if (data.empty()) {
    if (plainQueued_ == 0) events_.Post([](SocketEvents& e) { e.OnSendComplete(); });
    return;
  }
  OpenSsl().ERR_clear_error();
  std::size_t written = 0;
  if (OpenSsl().SSL_write_ex(ssl_.get(), data.data(), data.size(), &written) != 1) {
    FailWithTlsError(tls_failure::kSending);
    return;
  }
  plainQueued_ += written;
  // When the plain socket took every record at once (gathered or handed to the kernel), the
  // owner need not wait for its own report to send the next block.
  if (transport_->State() == SocketState::kConnected && !transport_->HoldsUnsent()) ReportSent();
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
  transportOpened_ = transportClosed_ = closeNotified_ = renegotiationAsked_ = false;
  state_ = SocketState::kClosed;
}

void PosixTlsSocket::OnConnect() {
  transportOpened_ = true;
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
  events_.PostAllSent(sent);
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
  } else if (!transportOpened_) {
    // Never connected (refused, or a proxy's tunnel not opened): nothing was cut.
    Fail(number, std::string(description));
  } else if (AnsweredInPlainText()) {
    Fail(socket_error::kSecureChannelFailed, std::string(tls_failure::kPlainTextAnswer));
  } else {
    Fail(number, tls_failure::CutInHandshake(description));
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
    FailWithTlsError(tls_failure::kReceiving);
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
         std::string(AnsweredInPlainText() ? tls_failure::kPlainTextAnswer
                                           : tls_failure::kClosedInHandshake));
    return;
  }
  Fail(socket_error::kConnectionAborted, std::string(tls_failure::kCutWithoutCloseNotice));
}

void PosixTlsSocket::FailHandshake() {
  const long verification = OpenSsl().SSL_get_verify_result(ssl_.get());
  if (context_->VerifiesPeer() && verification != X509_V_OK) {
    tls_failure::CertificateRejection failure = DescribeVerification(verification, host_);
    Fail(failure.number, std::move(failure.description));
  } else if (AnsweredInPlainText()) {
    Fail(socket_error::kSecureChannelFailed, std::string(tls_failure::kPlainTextAnswer));
  } else {
    FailWithTlsError(tls_failure::kHandshaking);
  }
}

void PosixTlsSocket::FailWithTlsError(std::string_view during) {
  const unsigned long code = OpenSsl().ERR_peek_last_error();
  OpenSsl().ERR_clear_error();
  const char* reason = code != 0 ? OpenSsl().ERR_reason_error_string(code) : nullptr;
  if (renegotiationAsked_) {
    // The server asked to negotiate again, which this client never does, and gave up.
    Fail(socket_error::kSecureChannelFailed,
         tls_failure::Because(during, tls_failure::kRenegotiationRefused));
    return;
  }
  std::string_view why = reason != nullptr ? reason : "unknown";
  switch (ERR_GET_REASON(code)) {
    case SSL_R_UNSUPPORTED_PROTOCOL:
    case SSL_R_TLSV1_ALERT_PROTOCOL_VERSION:
    case SSL_R_NO_PROTOCOLS_AVAILABLE:
      why = tls_failure::kOldProtocol;
      break;
    case SSL_R_EXCESSIVE_MESSAGE_SIZE:
      why = tls_failure::kOversizedChain;
      break;
    default:
      break;
  }
  Fail(socket_error::kSecureChannelFailed, tls_failure::Because(during, why));
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
