#include "posix/posix_random.h"

#include <sys/random.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <system_error>

namespace veldrask::posix {

double PosixRandom::Next() {
  std::uint64_t bits = 0;
  if (pool_.size() - used_ < sizeof bits) Refill();
  std::memcpy(&bits, pool_.data() + used_, sizeof bits);
  used_ += sizeof bits;
  return static_cast<double>(bits >> 11) / 9007199254740992.0;
}

void PosixRandom::Refill() {
  // Requests above 256 bytes may come back short when a signal arrives.
  for (std::size_t filled = 0; filled < pool_.size();) {
    const ssize_t count = ::getrandom(pool_.data() + filled, pool_.size() - filled, 0);
    if (count < 0) {
      if (errno == EINTR) continue;
      throw std::system_error(errno, std::generic_category(), "getrandom");
    }
    filled += static_cast<std::size_t>(count);
  }
  used_ = 0;
}

}  // namespace veldrask::posix
