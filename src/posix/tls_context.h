#pragma once

#include <memory>
#include <string>

#include "posix/openssl_library.h"

namespace veldrask::posix {

// Whom a TLS client trusts: the system's certificate store, and a file of certificates (PEM)
// besides. Skipping the check is for a terminal user who asked for it by name.
struct TlsTrust {
  std::string extraCertificates;  // empty: the system store only
  bool verifyPeer = true;
};

// The client settings every TLS socket of a network shares: TLS 1.2 and 1.3 only, no
// renegotiation, the trust above.
class TlsContext {
 public:
  // Throws Error when the extra certificates cannot be read.
  explicit TlsContext(const TlsTrust& trust);

  SSL_CTX* Get() const { return context_.get(); }
  bool VerifiesPeer() const { return verifyPeer_; }

 private:
  struct Free {
    void operator()(SSL_CTX* context) const { OpenSsl().SSL_CTX_free(context); }
  };
  std::unique_ptr<SSL_CTX, Free> context_;
  bool verifyPeer_;
};

}  // namespace veldrask::posix
