#include "win32/win32_random.h"

// clang-format off
#include "win32/windows_api.h"
#include <bcrypt.h>
// clang-format on

#include <cstdint>
#include <system_error>

namespace veldrask::win32 {

double Win32Random::Next() {
  std::uint64_t bits = 0;
  const NTSTATUS status = BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&bits), sizeof bits,
                                          BCRYPT_USE_SYSTEM_PREFERRED_RNG);
  if (status < 0) {
    throw std::system_error(static_cast<int>(status), std::system_category(), "BCryptGenRandom");
  }
  return static_cast<double>(bits >> 11) / 9007199254740992.0;
}

}  // namespace veldrask::win32
