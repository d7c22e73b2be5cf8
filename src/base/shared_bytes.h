#pragma once

#include <cstddef>
#include <memory>
#include <span>

namespace veldrask {

// Bytes handed over with a share in their owner: the receiver may keep them and read them
// later instead of copying them, and the owner leaves them unchanged while any share lives.
// Without an owner the bytes are lent for the call only.
struct SharedBytes {
  std::span<const std::byte> bytes;
  std::shared_ptr<const void> owner;
};

}  // namespace veldrask
