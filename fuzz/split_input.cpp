#include "split_input.h"

#include <algorithm>

namespace veldrask::fuzz {

SplitInput ReadSplitInput(const std::uint8_t* data, std::size_t size) {
  SplitInput input;
  const std::span<const std::byte> all = std::as_bytes(std::span(data, size));
  std::size_t used = 0;
  if (used < all.size()) input.options = data[used++];
  std::size_t count = 0;
  if (used < all.size()) count = data[used++] & 0x0F;
  while (count-- > 0 && used < all.size()) input.lengths.push_back(data[used++]);
  input.payload = all.subspan(used);
  return input;
}

std::vector<std::span<const std::byte>> CutIntoArrivals(std::span<const std::byte> bytes,
                                                        const std::vector<std::size_t>& lengths) {
  const bool cuts = std::any_of(lengths.begin(), lengths.end(), [](std::size_t n) { return n; });
  if (bytes.empty() || !cuts) return {bytes};
  std::vector<std::span<const std::byte>> arrivals;
  std::size_t next = 0;
  while (!bytes.empty()) {
    const std::size_t length = std::min(lengths[next], bytes.size());
    next = (next + 1) % lengths.size();
    arrivals.push_back(bytes.first(length));
    bytes = bytes.subspan(length);
  }
  return arrivals;
}

}  // namespace veldrask::fuzz
