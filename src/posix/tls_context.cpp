#include "posix/tls_context.h"

#include <openssl/err.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/error.h"

namespace veldrask::posix {
namespace {

std::string LastOpenSslReason() {
  const unsigned long code = OpenSsl().ERR_peek_last_error();
  OpenSsl().ERR_clear_error();
  const char* reason = code != 0 ? OpenSsl().ERR_reason_error_string(code) : nullptr;
  return reason != nullptr ? reason : "unknown";
}

// Whether one of the folders (':' between them) holds certificates under OpenSSL's hashed
// names ("5ad8a5d6.0"), which it can look an issuer up by.
bool HoldsHashedCertificates(std::string_view folders) {
  const auto hashedName = [](std::string_view name) {
    const std::size_t dot = name.find('.');
    return dot == 8 && dot + 1 < name.size() && name.find_first_not_of("0123456789abcdef") == dot &&
           name.find_first_not_of("0123456789", dot + 1) == std::string_view::npos;
  };
  while (!folders.empty()) {
    const std::size_t end = std::min(folders.find(':'), folders.size());
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folders.substr(0, end), error), last;
         !error && entry != last; entry.increment(error)) {
      if (hashedName(entry->path().filename().native())) return true;
    }
    folders.remove_prefix(std::min(end + 1, folders.size()));
  }
  return false;
}

// The system's certificates, as OpenSSL finds them (SSL_CERT_DIR and SSL_CERT_FILE first), but
// from the hashed folder when there is one: it is read an issuer at a time while a chain is
// checked, where the bundle file would be parsed whole into memory for every run (about
// 0.8 MiB and 240 million instructions for Debian's 144 authorities). The bundle is read where
// no hashed folder exists, or when SSL_CERT_FILE names one. A store that cannot be read is no
// error here: the certificate check then fails and says so.
void TrustSystemStore(SSL_CTX* context) {
  const OpenSslLibrary& ssl = OpenSsl();
  const char* const folderSetting = secure_getenv(ssl.X509_get_default_cert_dir_env());
  const char* const bundleSetting = secure_getenv(ssl.X509_get_default_cert_file_env());
  const char* const folders =
      folderSetting != nullptr ? folderSetting : ssl.X509_get_default_cert_dir();
  if (ssl.SSL_CTX_load_verify_dir(context, folders) != 1) ssl.ERR_clear_error();
  if (bundleSetting != nullptr || !HoldsHashedCertificates(folders)) {
    const char* const bundle =
        bundleSetting != nullptr ? bundleSetting : ssl.X509_get_default_cert_file();
    if (ssl.SSL_CTX_load_verify_file(context, bundle) != 1) ssl.ERR_clear_error();
  }
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
  TrustSystemStore(context);
  if (!trust.extraCertificates.empty() &&
      OpenSsl().SSL_CTX_load_verify_file(context, trust.extraCertificates.c_str()) != 1) {
    throw Error(ErrorNumber::kFileNotFound,
                "인증서 파일을 읽을 수 없습니다: " + trust.extraCertificates + " (" +
                    LastOpenSslReason() + ")");
  }
}

}  // namespace veldrask::posix
