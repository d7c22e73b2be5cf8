#include "win32/tls_certificate_check.h"

#include <schannel.h>
#include <wincrypt.h>

#include <cstdio>
#include <memory>

#include "win32/wide_text.h"

namespace veldrask::win32 {
namespace {

struct CertificateFree {
  void operator()(const CERT_CONTEXT* certificate) const {
    CertFreeCertificateContext(certificate);
  }
};
struct ChainFree {
  void operator()(const CERT_CHAIN_CONTEXT* chain) const { CertFreeCertificateChain(chain); }
};

using tls_failure::CertificateProblem;
using tls_failure::CertificateRejection;
using tls_failure::RejectCertificate;

CertificateRejection Describe(DWORD error, const std::string& host) {
  switch (error) {
    case static_cast<DWORD>(CERT_E_EXPIRED):
      return RejectCertificate(CertificateProblem::kExpired);
    case static_cast<DWORD>(CERT_E_CN_NO_MATCH):
      return RejectCertificate(CertificateProblem::kWrongName, host);
    case static_cast<DWORD>(CERT_E_UNTRUSTEDROOT):
    case static_cast<DWORD>(CERT_E_CHAINING):
    case static_cast<DWORD>(TRUST_E_CERT_SIGNATURE):
      return RejectCertificate(CertificateProblem::kUnknownIssuer);
    default:
      return RejectCertificate(CertificateProblem::kOther, DescribeSecurityStatus(error));
  }
}

}  // namespace

std::string DescribeSecurityStatus(unsigned long code) {
  std::string text = SystemMessage(code);
  if (!text.empty()) return text;
  char number[16];
  std::snprintf(number, sizeof number, "0x%08lX", code);
  return number;
}

std::optional<tls_failure::CertificateRejection> CheckServerCertificate(CtxtHandle& context,
                                                                        const std::string& host) {
  const CERT_CONTEXT* presented = nullptr;
  if (QueryContextAttributesW(&context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &presented) != SEC_E_OK ||
      presented == nullptr) {
    return RejectCertificate(CertificateProblem::kNotSent);
  }
  const std::unique_ptr<const CERT_CONTEXT, CertificateFree> certificate(presented);

  // The chain is built with the intermediates the server sent, for server authentication.
  LPSTR serverAuthentication = const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH);
  CERT_CHAIN_PARA chainPara{};
  chainPara.cbSize = sizeof chainPara;
  chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
  chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
  chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = &serverAuthentication;
  const CERT_CHAIN_CONTEXT* built = nullptr;
  if (!CertGetCertificateChain(nullptr, certificate.get(), nullptr, certificate->hCertStore,
                               &chainPara, 0, nullptr, &built)) {
    return Describe(GetLastError(), host);
  }
  const std::unique_ptr<const CERT_CHAIN_CONTEXT, ChainFree> chain(built);

  std::wstring serverName = Widen(host);
  SSL_EXTRA_CERT_CHAIN_POLICY_PARA sslPara{};
  sslPara.cbSize = sizeof sslPara;
  sslPara.dwAuthType = AUTHTYPE_SERVER;
  sslPara.pwszServerName = serverName.data();
  CERT_CHAIN_POLICY_PARA policyPara{};
  policyPara.cbSize = sizeof policyPara;
  policyPara.pvExtraPolicyPara = &sslPara;
  CERT_CHAIN_POLICY_STATUS status{};
  status.cbSize = sizeof status;
  if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.get(), &policyPara, &status)) {
    return Describe(GetLastError(), host);
  }
  if (status.dwError == static_cast<DWORD>(CERT_E_UNTRUSTEDROOT) && chain->cChain > 0 &&
      chain->rgpChain[0]->cElement == 1) {
    return RejectCertificate(CertificateProblem::kSelfSigned);
  }
  if (status.dwError != 0) return Describe(status.dwError, host);
  return std::nullopt;
}

}  // namespace veldrask::win32
