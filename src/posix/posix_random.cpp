#include "posix/posix_random.h"

#include <sys/random.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

namespace veldrask::posix {

double PosixRandom::Next() {
  std::uint64_t bits = 0;
  auto* out = reinterpret_cast<unsigned char*>(&bits);
  for (std::size_t filled = 0; filled < sizeof bits;) {
    const ssize_t count = ::getrandom(out + filled, sizeof bits - filled, 0);
    if (count < 0) {
      if (errno == EINTR) continue;
      throw std::system_error(errno, std::generic_category(), "getrandom");
    }
    filled += static_cast<std::size_t>(count);
  }
  return static_cast<double>(bits >> 11) / 9007199254740992.0;
}

}  // namespace veldrask::posix
