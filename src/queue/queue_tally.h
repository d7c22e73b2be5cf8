#pragma once

#include <cstdint>

#include "base/number_format.h"
#include "common/control_surface.h"

namespace veldrask {

// The queue's counters: rows, their bytes and the remaining allowance in KB. A change is
// computed as a new tally before anything is stored, so one that leaves the 16- and 32-bit
// widths (raising the overflow error) changes nothing.
struct QueueTally {
  std::int16_t fileCount = 0;
  std::int32_t totalSize = 0;
  std::int32_t remainSize = 0;

  // One more row of size bytes; the allowance drops by size / 1024, halves to even.
  QueueTally Plus(std::int64_t size) const;
  // One row of size bytes fewer; the allowance grows by size / 1024, halves to even.
  QueueTally Minus(std::int64_t size) const;

  bool operator==(const QueueTally&) const = default;
};

// Shows the tally in the three labels of the upload screen: the total and the allowance in
// KB with the user's digit grouping, the count against maxFileCount.
void ShowTally(const QueueTally& tally, std::int16_t maxFileCount, const NumberStyle& numbers,
               ControlSurface& surface);

}  // namespace veldrask
