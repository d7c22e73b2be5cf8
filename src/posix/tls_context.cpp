#include "posix/tls_context.h"

#include <openssl/err.h>

#include <string>

#include "base/error.h"

namespace veldrask::posix {
namespace {

std::string LastOpenSslReason() {
  const unsigned long code = ERR_peek_last_error();
  ERR_clear_error();
  const char* reason = code != 0 ? ERR_reason_error_string(code) : nullptr;
  return reason != nullptr ? reason : "unknown";
}

}  // namespace

TlsContext::TlsContext(const TlsTrust& trust)
    : context_(SSL_CTX_new(TLS_client_method())), verifyPeer_(trust.verifyPeer) {
  if (!context_) throw Error(ErrorNumber::kOutOfMemory);
  SSL_CTX* context = context_.get();
  SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
  SSL_CTX_set_options(context, SSL_OP_NO_RENEGOTIATION | SSL_OP_NO_COMPRESSION);
  // Sending the close notice on Close is pointless; the socket is dropped at once.
  SSL_CTX_set_quiet_shutdown(context, 1);
  SSL_CTX_set_verify(context, trust.verifyPeer ? SSL_VERIFY_PEER : SSL_VERIFY_NONE, nullptr);
  if (SSL_CTX_set_default_verify_paths(context) != 1) ERR_clear_error();
  if (!trust.extraCertificates.empty() &&
      SSL_CTX_load_verify_locations(context, trust.extraCertificates.c_str(), nullptr) != 1) {
    throw Error(ErrorNumber::kFileNotFound,
                "인증서 파일을 읽을 수 없습니다: " + trust.extraCertificates + " (" +
                    LastOpenSslReason() + ")");
  }
}

}  // namespace veldrask::posix
