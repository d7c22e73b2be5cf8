#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace veldrask::fuzz {

// A fuzz input for a reader that takes its data in arrivals:
//   byte 0      options of the target
//   byte 1      n, the number of piece lengths (low four bits)
//   n bytes     piece lengths
//   the rest    the payload
// Short inputs leave the missing parts empty.
struct SplitInput {
  std::uint8_t options = 0;
  std::vector<std::size_t> lengths;
  std::span<const std::byte> payload;
};

SplitInput ReadSplitInput(const std::uint8_t* data, std::size_t size);

// Cuts bytes into arrivals of the given lengths, taken in turn and over again until the bytes
// are used up; a length of 0 is an empty arrival. Without a non-zero length the bytes arrive
// in one piece. Empty bytes give one empty arrival.
std::vector<std::span<const std::byte>> CutIntoArrivals(std::span<const std::byte> bytes,
                                                        const std::vector<std::size_t>& lengths);

}  // namespace veldrask::fuzz
