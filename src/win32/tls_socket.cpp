#include "win32/tls_socket.h"

#include <schannel.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/error.h"
#include "platform/tls_failures.h"
#include "win32/tls_credentials.h"
#include "win32/wide_text.h"

namespace veldrask::win32 {
namespace {

constexpr unsigned long kContextRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT |
                                          ISC_REQ_CONFIDENTIALITY | ISC_REQ_ALLOCATE_MEMORY |
                                          ISC_REQ_STREAM;

SecBuffer Buffer(unsigned long type, void* bytes = nullptr, std::size_t size = 0) {
  return SecBuffer{static_cast<unsigned long>(size), type, bytes};
}

const SecBuffer* FindBuffer(std::span<const SecBuffer> buffers, unsigned long type) {
  const auto found = std::ranges::find(buffers, type, &SecBuffer::BufferType);
  return found != buffers.end() ? &*found : nullptr;
}

// SChannel's reason for a failed handshake, as the owner reads it.
std::string HandshakeReason(SECURITY_STATUS status) {
  switch (status) {
    case SEC_E_UNSUPPORTED_FUNCTION:
    case SEC_E_ALGORITHM_MISMATCH:
      return std::string(tls_failure::kOldProtocol);
    case SEC_I_RENEGOTIATE:
      return std::string(tls_failure::kRenegotiationRefused);
    default:
      return DescribeSecurityStatus(static_cast<unsigned long>(status));
  }
}

}  // namespace

Win32TlsSocket::Win32TlsSocket(MessageEventLoop& loop, SocketEvents& events,
                               std::shared_ptr<const TlsTrust> trust,
                               const TransportMaker& transport)
    : loop_(loop), events_(events), trust_(std::move(trust)) {
  SocketEvents& transportEvents = *this;
  transport_ = transport(transportEvents);
}

Win32TlsSocket::~Win32TlsSocket() {
  Close();
}

void Win32TlsSocket::Connect(std::string_view host, std::int32_t port) {
  RequireConnectable(state_);
  Close();
  host_ = std::string(WithoutBrackets(host));
  targetName_ = Widen(host_);
  // The socket checks the certificate itself, against the name, once the handshake is done.
  const SECURITY_STATUS status = AcquireTlsClientCredentials(credentials_);
  if (status != SEC_E_OK) {
    Fail(socket_error::kSecureChannelFailed,
         tls_failure::Because(tls_failure::kPreparing, HandshakeReason(status)));
    return;
  }
  haveCredentials_ = true;
  state_ = SocketState::kConnecting;
  transport_->Connect(host, port);
}

void Win32TlsSocket::Send(std::span<const std::byte> data) {
  RequireConnected(state_);
  if (data.empty()) {
    if (plainQueued_ == 0) Post([](SocketEvents& e) { e.OnSendComplete(); });
    return;
  }
  const std::size_t header = sizes_.cbHeader;
  const std::size_t trailer = sizes_.cbTrailer;
  const std::size_t most = sizes_.cbMaximumMessage;
  const std::size_t records = (data.size() + most - 1) / most;
  sealed_.resize(data.size() + records * (header + trailer));
  std::size_t written = 0;
  for (std::size_t offset = 0; offset < data.size(); offset += most) {
    const std::size_t length = std::min(most, data.size() - offset);
    std::byte* record = sealed_.data() + written;
    std::memcpy(record + header, data.data() + offset, length);
    SecBuffer buffers[4] = {Buffer(SECBUFFER_STREAM_HEADER, record, header),
                            Buffer(SECBUFFER_DATA, record + header, length),
                            Buffer(SECBUFFER_STREAM_TRAILER, record + header + length, trailer),
                            Buffer(SECBUFFER_EMPTY)};
    SecBufferDesc description{SECBUFFER_VERSION, 4, buffers};
    const SECURITY_STATUS status = EncryptMessage(&context_, 0, &description, 0);
    if (status != SEC_E_OK) {
      Fail(socket_error::kSecureChannelFailed,
           tls_failure::Because(tls_failure::kSending, HandshakeReason(status)));
      return;
    }
    // The trailer may come out shorter than the most it could be.
    written += buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer;
    if (buffers[0].cbBuffer + buffers[1].cbBuffer != header + length) {
      std::memmove(record + buffers[0].cbBuffer + buffers[1].cbBuffer, record + header + length,
                   buffers[2].cbBuffer);
    }
  }
  plainQueued_ += data.size();
  // A plain socket that failed or was closed has its event on the way; the records have
  // nowhere to go.
  if (transport_->State() == SocketState::kConnected) {
    transport_->Send(std::span(sealed_).first(written));
  }
  sealed_.clear();
  // When Winsock took every record at once, the owner need not wait for the plain socket's
  // own report to send the next block.
  if (transport_->State() == SocketState::kConnected && !transport_->HoldsUnsent()) {
    ReportSent();
  }
}

void Win32TlsSocket::GetData(ByteBuffer& out) {
  if (out.empty()) {
    out.swap(incoming_);
  } else {
    out.insert(out.end(), incoming_.begin(), incoming_.end());
  }
  incoming_.clear();
  if (state_ == SocketState::kConnected) Pump();
}

void Win32TlsSocket::Close() {
  liveness_ = std::make_shared<Liveness>();
  transport_->Close();
  ReleaseSecurity();
  records_.clear();
  recordsUsed_ = 0;
  sealed_.clear();
  incoming_.clear();
  firstBytes_.clear();
  handshakeReceived_ = 0;
  plainQueued_ = 0;
  transportClosed_ = closeNotified_ = arrivalAnnounced_ = emptyRecordLast_ = false;
  state_ = SocketState::kClosed;
}

void Win32TlsSocket::OnConnect() {
  // The first step has no input: it writes the client's hello, with the name for the server.
  SecBuffer output[1] = {Buffer(SECBUFFER_TOKEN)};
  SecBufferDesc outputDescription{SECBUFFER_VERSION, 1, output};
  unsigned long attributes = 0;
  const SECURITY_STATUS status =
      InitializeSecurityContextW(&credentials_, nullptr, targetName_.data(), kContextRequest, 0, 0,
                                 nullptr, 0, &context_, &outputDescription, &attributes, nullptr);
  if (status != SEC_I_CONTINUE_NEEDED) {
    if (output[0].pvBuffer != nullptr) FreeContextBuffer(output[0].pvBuffer);
    FailHandshake(status);
    return;
  }
  haveContext_ = true;
  SendToken(output[0]);
}

// Only the whole of a send is reported: the plain socket counts records, not the owner's bytes.
void Win32TlsSocket::OnSendProgress(std::int32_t /*sent*/, std::int32_t /*remaining*/) {}

void Win32TlsSocket::OnSendComplete() {
  if (state_ == SocketState::kConnected) ReportSent();
}

void Win32TlsSocket::OnDataArrival(std::int32_t /*bytesTotal*/) {
  Pump();
}

void Win32TlsSocket::OnClose() {
  transportClosed_ = true;
  Pump();
}

void Win32TlsSocket::OnError(std::int32_t number, std::string_view description) {
  if (state_ != SocketState::kConnecting && state_ != SocketState::kConnected) return;
  if (established_) {
    Fail(number, std::string(description));
  } else if (!haveContext_) {
    // Never connected (refused, or a proxy's tunnel not opened): nothing was cut.
    Fail(number, std::string(description));
  } else if (AnsweredInPlainText()) {
    Fail(socket_error::kSecureChannelFailed, std::string(tls_failure::kPlainTextAnswer));
  } else {
    Fail(number, tls_failure::CutInHandshake(description));
  }
}

void Win32TlsSocket::Pump() {
  while (haveContext_ && !closeNotified_) {
    if (Handshaking() && !Handshake()) return;
    if (!Handshaking() && !Decrypt()) return;
    if (closeNotified_ || incoming_.size() >= kReceiveLimit) return;
    if (!TakeRecords()) {
      if (transportClosed_) EndOfTransport();
      return;
    }
  }
}

bool Win32TlsSocket::Handshake(bool evenWithoutRecords) {
  if (!established_ && handshakeReceived_ > kHandshakeLimit) {
    Fail(socket_error::kSecureChannelFailed,
         tls_failure::Because(tls_failure::kHandshaking, tls_failure::kOversizedChain));
    return false;
  }
  bool certificateAsked = false;
  while (std::exchange(evenWithoutRecords, false) || recordsUsed_ < records_.size()) {
    SecBuffer input[2] = {
        Buffer(SECBUFFER_TOKEN, records_.data() + recordsUsed_, records_.size() - recordsUsed_),
        Buffer(SECBUFFER_EMPTY)};
    SecBufferDesc inputDescription{SECBUFFER_VERSION, 2, input};
    SecBuffer output[1] = {Buffer(SECBUFFER_TOKEN)};
    SecBufferDesc outputDescription{SECBUFFER_VERSION, 1, output};
    unsigned long attributes = 0;
    const SECURITY_STATUS status = InitializeSecurityContextW(
        &credentials_, &context_, targetName_.data(), kContextRequest, 0, 0, &inputDescription, 0,
        nullptr, &outputDescription, &attributes, nullptr);
    if (status == SEC_E_INCOMPLETE_MESSAGE) {
      if (output[0].pvBuffer != nullptr) FreeContextBuffer(output[0].pvBuffer);
      return true;
    }
    // An alert that tells the server why goes out before the connection is dropped.
    SendToken(output[0]);
    if (status == SEC_E_OK) {
      ConsumeRecords(input[1]);
      if (!established_) return FinishHandshake();
      postHandshake_ = false;
      return true;
    }
    if (status == SEC_I_INCOMPLETE_CREDENTIALS && !certificateAsked) {
      // The server asked for a client certificate: the same step again goes on without one.
      certificateAsked = true;
      continue;
    }
    if (status != SEC_I_CONTINUE_NEEDED) {
      FailHandshake(status);
      return false;
    }
    ConsumeRecords(input[1]);
  }
  return true;
}

bool Win32TlsSocket::FinishHandshake() {
  if (trust_->CheckCertificates()) {
    if (std::optional<tls_failure::CertificateRejection> rejection =
            CheckServerCertificate(context_, host_, *trust_)) {
      Fail(rejection->number, std::move(rejection->description));
      return false;
    }
  }
  SecPkgContext_ConnectionInfo connection{};
  SECURITY_STATUS status =
      QueryContextAttributesW(&context_, SECPKG_ATTR_CONNECTION_INFO, &connection);
  if (status == SEC_E_OK) {
    status = QueryContextAttributesW(&context_, SECPKG_ATTR_STREAM_SIZES, &sizes_);
  }
  if (status != SEC_E_OK || sizes_.cbMaximumMessage == 0) {
    FailHandshake(status);
    return false;
  }
  // Whatever the credentials allowed, nothing older than TLS 1.2 carries the owner's bytes.
  protocol_ = connection.dwProtocol;
  if ((protocol_ & (SP_PROT_TLS1_2_CLIENT | SP_PROT_TLS1_3_CLIENT)) == 0) {
    FailHandshake(SEC_E_UNSUPPORTED_FUNCTION);
    return false;
  }
  established_ = true;
  state_ = SocketState::kConnected;
  Post([](SocketEvents& e) { e.OnConnect(); });
  return true;
}

bool Win32TlsSocket::Decrypt() {
  while (!postHandshake_ && incoming_.size() < kReceiveLimit && recordsUsed_ < records_.size()) {
    SecBuffer buffers[4] = {
        Buffer(SECBUFFER_DATA, records_.data() + recordsUsed_, records_.size() - recordsUsed_),
        Buffer(SECBUFFER_EMPTY), Buffer(SECBUFFER_EMPTY), Buffer(SECBUFFER_EMPTY)};
    SecBufferDesc description{SECBUFFER_VERSION, 4, buffers};
    const SECURITY_STATUS status = DecryptMessage(&context_, &description, 0, nullptr);
    if (status == SEC_E_INCOMPLETE_MESSAGE) return true;
    // Under TLS 1.3 the status stands for a message after the handshake (a session ticket, a
    // key update); under TLS 1.2 for a server asking to negotiate again, which is refused.
    const bool postHandshake =
        status == SEC_I_RENEGOTIATE && (protocol_ & SP_PROT_TLS1_3_CLIENT) != 0;
    if (status != SEC_E_OK && status != SEC_I_CONTEXT_EXPIRED && !postHandshake) {
      Fail(socket_error::kSecureChannelFailed,
           tls_failure::Because(tls_failure::kReceiving, HandshakeReason(status)));
      return false;
    }
    const SecBuffer* text = FindBuffer(buffers, SECBUFFER_DATA);
    const bool empty = text == nullptr || text->cbBuffer == 0;
    emptyRecordLast_ = empty && !postHandshake;
    if (!empty) {
      const auto* bytes = static_cast<const std::byte*>(text->pvBuffer);
      incoming_.insert(incoming_.end(), bytes, bytes + text->cbBuffer);
      AnnounceArrival();
    }
    const SecBuffer* extra = FindBuffer(buffers, SECBUFFER_EXTRA);
    ConsumeRecords(extra != nullptr ? *extra : Buffer(SECBUFFER_EMPTY));
    if (postHandshake) {
      // The context takes the message from the bytes left over, the first step at once even
      // with none; records then go to it until it is done, and to decrypting again after.
      postHandshake_ = true;
      if (!Handshake(true)) return false;
      continue;
    }
    if (status == SEC_I_CONTEXT_EXPIRED) {
      // The server ended the stream on purpose: what came before it is whole.
      closeNotified_ = true;
      state_ = SocketState::kClosing;
      transport_->Close();
      Post([](SocketEvents& e) { e.OnClose(); });
      return true;
    }
  }
  return true;
}

bool Win32TlsSocket::TakeRecords() {
  // Only an incomplete record is left: drop what was spent before appending.
  records_.erase(records_.begin(), records_.begin() + static_cast<std::ptrdiff_t>(recordsUsed_));
  recordsUsed_ = 0;
  const std::size_t before = records_.size();
  transport_->GetData(records_);
  if (records_.size() == before) return false;
  if (!established_) handshakeReceived_ += records_.size() - before;
  while (firstBytes_.size() < 5 && firstBytes_.size() < records_.size()) {
    firstBytes_.push_back(static_cast<char>(records_[firstBytes_.size()]));
  }
  return true;
}

void Win32TlsSocket::ConsumeRecords(const SecBuffer& last) {
  const std::size_t left = last.BufferType == SECBUFFER_EXTRA ? last.cbBuffer : 0;
  recordsUsed_ = records_.size() - std::min(left, records_.size() - recordsUsed_);
}

void Win32TlsSocket::SendToken(SecBuffer& token) {
  if (token.pvBuffer == nullptr) return;
  if (token.cbBuffer > 0 && transport_->State() == SocketState::kConnected) {
    const auto* bytes = static_cast<const std::byte*>(token.pvBuffer);
    transport_->Send(std::span(bytes, token.cbBuffer));
  }
  FreeContextBuffer(token.pvBuffer);
  token.pvBuffer = nullptr;
}

bool Win32TlsSocket::AnsweredInPlainText() const {
  // Every TLS record starts with its type (20 to 24) and the major version 3.
  if (firstBytes_.empty()) return false;
  const auto type = static_cast<unsigned char>(firstBytes_[0]);
  return type < 20 || type > 24 || (firstBytes_.size() > 1 && firstBytes_[1] != 3);
}

void Win32TlsSocket::EndOfTransport() {
  if (!established_) {
    Fail(socket_error::kSecureChannelFailed,
         std::string(AnsweredInPlainText() ? tls_failure::kPlainTextAnswer
                                           : tls_failure::kClosedInHandshake));
    return;
  }
  if (emptyRecordLast_ && recordsUsed_ == records_.size()) {
    // Some SChannels (Wine's) hand the close notice over as a record without content rather
    // than as the context's end; the server's close right after it ends the stream in order.
    closeNotified_ = true;
    state_ = SocketState::kClosing;
    transport_->Close();
    Post([](SocketEvents& e) { e.OnClose(); });
    return;
  }
  Fail(socket_error::kConnectionAborted, std::string(tls_failure::kCutWithoutCloseNotice));
}

void Win32TlsSocket::FailHandshake(SECURITY_STATUS status) {
  if (AnsweredInPlainText()) {
    Fail(socket_error::kSecureChannelFailed, std::string(tls_failure::kPlainTextAnswer));
    return;
  }
  // A message after the handshake fails what is being received.
  const std::string_view step = established_ ? tls_failure::kReceiving : tls_failure::kHandshaking;
  Fail(socket_error::kSecureChannelFailed, tls_failure::Because(step, HandshakeReason(status)));
}

void Win32TlsSocket::Fail(std::int32_t number, std::string description) {
  transport_->Close();
  ReleaseSecurity();
  plainQueued_ = 0;
  state_ = SocketState::kError;
  Post([number, description = std::move(description)](SocketEvents& e) {
    e.OnError(number, description);
  });
}

void Win32TlsSocket::ReleaseSecurity() {
  if (haveContext_) DeleteSecurityContext(&context_);
  if (haveCredentials_) FreeCredentialsHandle(&credentials_);
  haveContext_ = haveCredentials_ = established_ = postHandshake_ = false;
}

void Win32TlsSocket::ReportSent() {
  if (plainQueued_ == 0) return;
  const std::int32_t sent = SaturatedInt32(std::exchange(plainQueued_, 0));
  Post([sent](SocketEvents& e) { e.OnSendProgress(sent, 0); });
  Post([](SocketEvents& e) { e.OnSendComplete(); });
}

void Win32TlsSocket::AnnounceArrival() {
  // One event stands for everything that arrives until it is delivered.
  if (arrivalAnnounced_) return;
  arrivalAnnounced_ = true;
  Post([this](SocketEvents& e) {
    arrivalAnnounced_ = false;
    if (!incoming_.empty()) e.OnDataArrival(SaturatedInt32(incoming_.size()));
  });
}

void Win32TlsSocket::Post(std::function<void(SocketEvents&)> fire) {
  loop_.Post(
      [alive = std::weak_ptr<Liveness>(liveness_), &events = events_, fire = std::move(fire)] {
        if (!alive.expired()) fire(events);
      });
}

}  // namespace veldrask::win32
