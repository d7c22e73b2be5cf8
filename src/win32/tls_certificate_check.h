#pragma once

#include <optional>
#include <string>

#include "platform/tls_failures.h"
#include "win32/tls_trust.h"
#include "win32/windows_api.h"
// clang-format off
#define SECURITY_WIN32
#include <security.h>
// clang-format on

namespace veldrask::win32 {

// The system's text for a security or certificate status, its number where there is none.
std::string DescribeSecurityStatus(unsigned long code);

// Checks the certificate the server presented on an established context: its chain must end in
// a root of the system store (the user's and the machine's) or one that trust adds, and it must
// be issued for host.
std::optional<tls_failure::CertificateRejection> CheckServerCertificate(CtxtHandle& context,
                                                                        const std::string& host,
                                                                        const TlsTrust& trust);

}  // namespace veldrask::win32
