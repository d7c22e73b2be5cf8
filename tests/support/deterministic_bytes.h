#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace veldrask::testing {

// The content the misbehaving server serves for a file name (tests/servers/python/
// deterministic.py computes the same bytes): byte i is P[i % 4096] ^ K(i / 4096)[i % 8], with P
// a pattern of splitmix64 words seeded by the FNV-1a hash of the key and K one splitmix64 word
// per block. Shifted, repeated or dropped ranges never compare equal.
class DeterministicContent {
 public:
  static constexpr std::size_t kBlockSize = 4096;

  explicit DeterministicContent(std::string_view key);

  // length bytes starting at offset.
  std::string Bytes(std::uint64_t offset, std::size_t length) const;

 private:
  std::uint64_t seed_;
  std::array<std::uint8_t, kBlockSize> pattern_;
};

std::string DeterministicBytes(std::string_view key, std::uint64_t offset, std::size_t length);

}  // namespace veldrask::testing
