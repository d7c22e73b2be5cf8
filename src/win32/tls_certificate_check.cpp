#include "win32/tls_certificate_check.h"

#include <schannel.h>
#include <wincrypt.h>

#include <cstdio>
#include <memory>

#include "platform/tcp_socket.h"
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

CertificateRejection Describe(DWORD error, const std::string& host) {
  switch (error) {
    case static_cast<DWORD>(CERT_E_EXPIRED):
      return {socket_error::kCertificateExpired, "서버 인증서의 유효 기간이 지났습니다."};
    case static_cast<DWORD>(CERT_E_CN_NO_MATCH):
      return {socket_error::kCertificateWrongName,
              "서버 인증서가 이 서버의 이름(" + host + ")으로 발급된 것이 아닙니다."};
    case static_cast<DWORD>(CERT_E_UNTRUSTEDROOT):
    case static_cast<DWORD>(CERT_E_CHAINING):
    case static_cast<DWORD>(TRUST_E_CERT_SIGNATURE):
      return {socket_error::kCertificateUnknownIssuer,
              "서버 인증서의 발급 기관을 알 수 없어 신뢰할 수 없습니다."};
    default: {
      return {socket_error::kCertificateInvalid,
              "서버 인증서를 확인하지 못했습니다: " + DescribeSecurityStatus(error)};
    }
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

std::optional<CertificateRejection> CheckServerCertificate(CtxtHandle& context,
                                                           const std::string& host) {
  const CERT_CONTEXT* presented = nullptr;
  if (QueryContextAttributesW(&context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &presented) != SEC_E_OK ||
      presented == nullptr) {
    return CertificateRejection{socket_error::kCertificateInvalid,
                                "서버가 인증서를 보내지 않았습니다."};
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
    return CertificateRejection{socket_error::kCertificateUnknownIssuer,
                                "서버 인증서가 신뢰하지 않는 자체 서명 인증서입니다."};
  }
  if (status.dwError != 0) return Describe(status.dwError, host);
  return std::nullopt;
}

}  // namespace veldrask::win32
