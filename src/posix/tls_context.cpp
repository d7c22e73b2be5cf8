#include "posix/tls_context.h"

#include <openssl/err.h>

#include <string>

#include "base/error.h"

namespace veldrask::posix {
namespace {

std::string LastOpenSslReason() {
  const unsigned long code = OpenSsl().ERR_peek_last_error();
  OpenSsl().ERR_clear_error();
  const char* reason = code != 0 ? OpenSsl().ERR_reason_error_string(code) : nullptr;
  return reason != nullptr ? reason : "unknown";
}

}  // namespace

TlsContext::TlsContext(const TlsTrust& trust)
    : context_(OpenSsl().SSL_CTX_new(OpenSsl().TLS_client_method())),
      verifyPeer_(trust.verifyPeer) {
  if (!context_) throw Error(ErrorNumber::kOutOfMemory);
  SSL_CTX* context = context_.get();
  OpenSsl().SSL_CTX_ctrl(context, SSL_CTRL_SET_MIN_PROTO_VERSION, TLS1_2_VERSION, nullptr);
  OpenSsl().SSL_CTX_set_options(context, SSL_OP_NO_RENEGOTIATION | SSL_OP_NO_COMPRESSION);
  // Sending the close notice on Close is pointless; the socket is dropped at once.
  OpenSsl().SSL_CTX_set_quiet_shutdown(context, 1);
  OpenSsl().SSL_CTX_set_verify(context, trust.verifyPeer ? SSL_VERIFY_PEER : SSL_VERIFY_NONE,
                               nullptr);
  if (OpenSsl().SSL_CTX_set_default_verify_paths(context) != 1) OpenSsl().ERR_clear_error();
  if (!trust.extraCertificates.empty() &&
      OpenSsl().SSL_CTX_load_verify_locations(context, trust.extraCertificates.c_str(), nullptr) !=
          1) {
    throw Error(ErrorNumber::kFileNotFound,
                "인증서 파일을 읽을 수 없습니다: " + trust.extraCertificates + " (" +
                    LastOpenSslReason() + ")");
  }
}

}  // namespace veldrask::posix
