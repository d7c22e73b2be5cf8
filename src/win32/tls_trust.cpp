#include "win32/tls_trust.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace veldrask::win32 {
namespace {

constexpr std::string_view kBegin = "-----BEGIN CERTIFICATE-----";
constexpr std::string_view kEnd = "-----END CERTIFICATE-----";

// The DER bytes of one PEM block, from its BEGIN line to its END line; empty when it is not
// base64.
std::vector<BYTE> DecodeBlock(std::string_view block) {
  DWORD size = 0;
  const auto length = static_cast<DWORD>(block.size());
  if (!CryptStringToBinaryA(block.data(), length, CRYPT_STRING_BASE64HEADER, nullptr, &size,
                            nullptr, nullptr)) {
    return {};
  }
  std::vector<BYTE> der(size);
  if (!CryptStringToBinaryA(block.data(), length, CRYPT_STRING_BASE64HEADER, der.data(), &size,
                            nullptr, nullptr)) {
    return {};
  }
  der.resize(size);
  return der;
}

}  // namespace

TlsTrust::TlsTrust()
    : roots_(CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, CERT_STORE_CREATE_NEW_FLAG, nullptr)) {
  if (roots_ == nullptr) throw std::runtime_error("CertOpenStore: no memory store");
}

TlsTrust::~TlsTrust() {
  CertCloseStore(roots_, 0);
}

std::size_t TlsTrust::AddRoots(std::string_view pem) {
  std::size_t added = 0;
  for (std::size_t begin = pem.find(kBegin); begin != std::string_view::npos;
       begin = pem.find(kBegin, begin + kBegin.size())) {
    const std::size_t end = pem.find(kEnd, begin);
    if (end == std::string_view::npos) break;
    const std::vector<BYTE> der = DecodeBlock(pem.substr(begin, end + kEnd.size() - begin));
    if (!der.empty() && CertAddEncodedCertificateToStore(roots_, X509_ASN_ENCODING, der.data(),
                                                         static_cast<DWORD>(der.size()),
                                                         CERT_STORE_ADD_USE_EXISTING, nullptr)) {
      ++added;
    }
  }
  count_ += added;
  return added;
}

bool TlsTrust::IsAddedRoot(const CERT_CONTEXT* certificate) const {
  const CERT_CONTEXT* found = CertFindCertificateInStore(roots_, X509_ASN_ENCODING, 0,
                                                         CERT_FIND_EXISTING, certificate, nullptr);
  if (found == nullptr) return false;
  CertFreeCertificateContext(found);
  return true;
}

}  // namespace veldrask::win32
