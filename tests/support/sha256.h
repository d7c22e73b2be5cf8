#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace veldrask::testing {

// SHA-256, to compare what a server stored or sent with what a test expects.
class Sha256 {
 public:
  Sha256();

  void Update(std::string_view bytes);
  // The digest as 64 lower-case hex digits; the object is spent afterwards.
  std::string HexDigest();

 private:
  void Compress(const std::uint8_t* block);

  std::array<std::uint32_t, 8> state_;
  std::array<std::uint8_t, 64> buffer_{};
  std::size_t buffered_ = 0;
  std::uint64_t total_bytes_ = 0;
};

std::string Sha256Hex(std::string_view bytes);

}  // namespace veldrask::testing
