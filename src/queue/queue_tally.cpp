#include "queue/queue_tally.h"

#include "base/checked.h"
#include "base/rounding.h"
#include "common/captions.h"

namespace veldrask {
namespace {

constexpr double kBytesPerKilobyte = 1024.0;

}  // namespace

QueueTally QueueTally::Plus(std::int64_t size) const {
  const auto bytes = CheckedNarrow<std::int32_t>(size);
  return {CheckedAdd<std::int16_t>(fileCount, 1), CheckedAdd(totalSize, bytes),
          RoundToInt32(remainSize - static_cast<double>(bytes) / kBytesPerKilobyte)};
}

QueueTally QueueTally::Minus(std::int64_t size) const {
  const auto bytes = CheckedNarrow<std::int32_t>(size);
  return {CheckedSub<std::int16_t>(fileCount, 1), CheckedSub(totalSize, bytes),
          RoundToInt32(remainSize + static_cast<double>(bytes) / kBytesPerKilobyte)};
}

void ShowTally(const QueueTally& tally, std::int16_t maxFileCount, const NumberStyle& numbers,
               ControlSurface& surface) {
  surface.lblTotalFileSize.SetCaption(
      KilobyteCaption(tally.totalSize / kBytesPerKilobyte, numbers));
  surface.lblRemainFileSize.SetCaption(KilobyteCaption(tally.remainSize, numbers));
  surface.lblTotalFileCount.SetCaption(FileCountCaption(tally.fileCount, maxFileCount));
}

}  // namespace veldrask
