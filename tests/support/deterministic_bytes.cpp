#include "support/deterministic_bytes.h"

namespace veldrask::testing {
namespace {

constexpr std::uint64_t kWordsPerBlock = DeterministicContent::kBlockSize / 8;

std::uint64_t Fnv1a64(std::string_view bytes) {
  std::uint64_t value = 0xcbf29ce484222325ULL;
  for (char c : bytes) {
    value = (value ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
  }
  return value;
}

std::uint64_t SplitMix64(std::uint64_t x) {
  std::uint64_t z = x + 0x9e3779b97f4a7c15ULL;
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

std::uint8_t LittleEndianByte(std::uint64_t word, std::uint64_t index) {
  return static_cast<std::uint8_t>(word >> (8 * (index % 8)));
}

}  // namespace

DeterministicContent::DeterministicContent(std::string_view key) : seed_(Fnv1a64(key)), pattern_{} {
  for (std::uint64_t i = 0; i < kBlockSize; ++i) {
    pattern_[i] = LittleEndianByte(SplitMix64(seed_ + i / 8), i);
  }
}

std::string DeterministicContent::Bytes(std::uint64_t offset, std::size_t length) const {
  std::string bytes(length, '\0');
  std::uint64_t block = offset / kBlockSize;
  std::uint64_t block_key = SplitMix64(seed_ + kWordsPerBlock + block);
  for (std::size_t i = 0; i < length; ++i) {
    const std::uint64_t position = offset + i;
    if (position / kBlockSize != block) {
      block = position / kBlockSize;
      block_key = SplitMix64(seed_ + kWordsPerBlock + block);
    }
    const std::uint64_t within = position % kBlockSize;
    bytes[i] = static_cast<char>(pattern_[within] ^ LittleEndianByte(block_key, within));
  }
  return bytes;
}

std::string DeterministicBytes(std::string_view key, std::uint64_t offset, std::size_t length) {
  return DeterministicContent(key).Bytes(offset, length);
}

}  // namespace veldrask::testing
