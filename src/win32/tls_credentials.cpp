// mingw-w64's <schannel.h> declares SCH_CREDENTIALS and TLS_PARAMETERS only with this defined.
#define SCHANNEL_USE_BLACKLISTS

#include "win32/tls_credentials.h"

// UNICODE_STRING, which TLS_PARAMETERS uses, must come first.
#include <subauth.h>
// Kept apart from the line above, so that it stays second.
#include <schannel.h>

namespace veldrask::win32 {
namespace {

constexpr DWORD kClientFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;

// Every protocol older than TLS 1.2 a client could be offered.
constexpr DWORD kBelowTls12 =
    SP_PROT_SSL2_CLIENT | SP_PROT_SSL3_CLIENT | SP_PROT_TLS1_0_CLIENT | SP_PROT_TLS1_1_CLIENT;

SECURITY_STATUS Acquire(void* settings, CredHandle& credentials) {
  TimeStamp expiry{};
  wchar_t package[] = UNISP_NAME_W;
  return AcquireCredentialsHandleW(nullptr, package, SECPKG_CRED_OUTBOUND, nullptr, settings,
                                   nullptr, nullptr, &credentials, &expiry);
}

}  // namespace

SECURITY_STATUS AcquireTlsClientCredentials(CredHandle& credentials) {
  // SCH_CREDENTIALS names what to leave out; whatever newer the system speaks, TLS 1.3 where it
  // has it, stays offered. SCHANNEL_CRED never offers TLS 1.3 on the systems that have it.
  TLS_PARAMETERS parameters{};
  parameters.grbitDisabledProtocols = kBelowTls12;
  SCH_CREDENTIALS settings{};
  settings.dwVersion = SCH_CREDENTIALS_VERSION;
  settings.dwFlags = kClientFlags;
  settings.cTlsParameters = 1;
  settings.pTlsParameters = &parameters;
  if (Acquire(&settings, credentials) == SEC_E_OK) return SEC_E_OK;

  // Systems older than SCH_CREDENTIALS (before Windows 10 1809) refuse it: TLS 1.2 alone.
  SCHANNEL_CRED older{};
  older.dwVersion = SCHANNEL_CRED_VERSION;
  older.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
  older.dwFlags = kClientFlags;
  return Acquire(&older, credentials);
}

}  // namespace veldrask::win32
