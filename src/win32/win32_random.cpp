#include "win32/win32_random.h"

// clang-format off
#include "win32/windows_api.h"
#include <bcrypt.h>
// clang-format on

#include <array>
#include <system_error>

namespace veldrask::win32 {
namespace {

std::array<std::uint32_t, 8> SystemRandomWords() {
  std::array<std::uint32_t, 8> words{};
  const NTSTATUS status = BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(words.data()),
                                          sizeof words, BCRYPT_USE_SYSTEM_PREFERRED_RNG);
  if (status < 0) {
    throw std::system_error(static_cast<int>(status), std::system_category(), "BCryptGenRandom");
  }
  return words;
}

}  // namespace

Win32Random::Win32Random() {
  const std::array<std::uint32_t, 8> words = SystemRandomWords();
  std::seed_seq seed(words.begin(), words.end());
  engine_.seed(seed);
}

double Win32Random::Next() {
  const std::uint_fast32_t high = engine_() >> 5;  // 27 bits
  const std::uint_fast32_t low = engine_() >> 6;   // 26 bits
  return (static_cast<double>(high) * 67108864.0 + static_cast<double>(low)) / 9007199254740992.0;
}

}  // namespace veldrask::win32
