#pragma once

#include "win32/windows_api.h"
// clang-format off
#define SECURITY_WIN32
#include <security.h>
// clang-format on

namespace veldrask::win32 {

// SChannel client credentials for TLS 1.2 and 1.3 that leave the server's certificate to the
// caller's own check. Returns SEC_E_OK with credentials filled in, or the system's refusal.
SECURITY_STATUS AcquireTlsClientCredentials(CredHandle& credentials);

}  // namespace veldrask::win32
