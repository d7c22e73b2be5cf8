#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/server_process.h"

namespace veldrask::testing {

// The throwaway certificates of tests/servers/tls/make_certificates.sh, made once per test
// process in a folder of its own: ca.pem and, each with NAME.key, good.pem (127.0.0.1 and
// localhost), expired.pem, other-name.pem, self-signed.pem and huge-chain.pem.
const std::filesystem::path& TestCertificates();

// A TLS front (tests/servers/node/tls_front.js) for the plain server on port `to`, with the
// certificate NAME.pem of TestCertificates() and the faults given ("abrupt-close",
// "renegotiate", "max-tls-1.1", "stall"; a stalled front needs no certificate nor backend).
struct TlsFront {
  std::string certificate = "good";
  int to = 0;
  std::vector<std::string> faults;
};
std::unique_ptr<ServerProcess> StartTlsFront(const TlsFront& front);

}  // namespace veldrask::testing
