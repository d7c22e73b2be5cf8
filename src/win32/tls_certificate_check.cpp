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
struct StoreClose {
  void operator()(HCERTSTORE store) const { CertCloseStore(store, 0); }
};

// SECURITY_FLAG_IGNORE_UNKNOWN_CA of the SSL policy's checks.
constexpr DWORD kIgnoreUnknownRoot = 0x00000100;

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

// The SSL policy's verdict on chain for host into error; false when the policy could not run.
bool VerifySslPolicy(const CERT_CHAIN_CONTEXT& chain, const std::string& host, DWORD checksIgnored,
                     DWORD& error) {
  std::wstring serverName = Widen(host);
  SSL_EXTRA_CERT_CHAIN_POLICY_PARA sslPara{};
  sslPara.cbSize = sizeof sslPara;
  sslPara.dwAuthType = AUTHTYPE_SERVER;
  sslPara.fdwChecks = checksIgnored;
  sslPara.pwszServerName = serverName.data();
  CERT_CHAIN_POLICY_PARA policyPara{};
  policyPara.cbSize = sizeof policyPara;
  policyPara.pvExtraPolicyPara = &sslPara;
  CERT_CHAIN_POLICY_STATUS status{};
  status.cbSize = sizeof status;
  if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, &chain, &policyPara, &status)) {
    return false;
  }
  error = status.dwError;
  return true;
}

// The chain's last certificate is a root the host added.
bool EndsInAddedRoot(const CERT_CHAIN_CONTEXT& chain, const TlsTrust& trust) {
  if (!trust.HasRoots() || chain.cChain == 0 || chain.rgpChain[0]->cElement == 0) return false;
  const CERT_SIMPLE_CHAIN& simple = *chain.rgpChain[0];
  return trust.IsAddedRoot(simple.rgpElement[simple.cElement - 1]->pCertContext);
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
                                                                        const std::string& host,
                                                                        const TlsTrust& trust) {
  const CERT_CONTEXT* presented = nullptr;
  if (QueryContextAttributesW(&context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &presented) != SEC_E_OK ||
      presented == nullptr) {
    return RejectCertificate(CertificateProblem::kNotSent);
  }
  const std::unique_ptr<const CERT_CONTEXT, CertificateFree> certificate(presented);

  // The chain is built with the intermediates the server sent and the roots the host added,
  // for server authentication.
  const std::unique_ptr<void, StoreClose> extra(
      CertOpenStore(CERT_STORE_PROV_COLLECTION, 0, 0, 0, nullptr));
  if (extra == nullptr) return Describe(GetLastError(), host);
  CertAddStoreToCollection(extra.get(), certificate->hCertStore, 0, 0);
  if (trust.HasRoots()) CertAddStoreToCollection(extra.get(), trust.Roots(), 0, 0);
  LPSTR serverAuthentication = const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH);
  CERT_CHAIN_PARA chainPara{};
  chainPara.cbSize = sizeof chainPara;
  chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
  chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
  chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = &serverAuthentication;
  const CERT_CHAIN_CONTEXT* built = nullptr;
  if (!CertGetCertificateChain(nullptr, certificate.get(), nullptr, extra.get(), &chainPara, 0,
                               nullptr, &built)) {
    return Describe(GetLastError(), host);
  }
  const std::unique_ptr<const CERT_CHAIN_CONTEXT, ChainFree> chain(built);

  DWORD error = 0;
  if (!VerifySslPolicy(*chain, host, 0, error)) return Describe(GetLastError(), host);
  if (error == static_cast<DWORD>(CERT_E_UNTRUSTEDROOT) && EndsInAddedRoot(*chain, trust)) {
    // A root the host added is as good as one of the system's: everything else still holds.
    if (!VerifySslPolicy(*chain, host, kIgnoreUnknownRoot, error)) {
      return Describe(GetLastError(), host);
    }
  }
  // A chain that stops short of a root (its issuer found nowhere) is not trusted, whatever the
  // policy says: Wine's SSL policy lets one pass.
  const bool partial = (chain->TrustStatus.dwErrorStatus & CERT_TRUST_IS_PARTIAL_CHAIN) != 0;
  const bool issuerUnknown =
      partial || Describe(error, host).number == socket_error::kCertificateUnknownIssuer;
  // Named by what the certificate is, not by how the chain came out: the chain engine reports
  // one certificate alone as an untrusted root or as a chain it could not finish.
  CERT_INFO& leaf = *certificate->pCertInfo;  // the call takes its names without const
  if (issuerUnknown && CertCompareCertificateName(X509_ASN_ENCODING, &leaf.Subject, &leaf.Issuer)) {
    return RejectCertificate(CertificateProblem::kSelfSigned);
  }
  if (error != 0) return Describe(error, host);
  if (partial) return RejectCertificate(CertificateProblem::kUnknownIssuer);
  return std::nullopt;
}

}  // namespace veldrask::win32
