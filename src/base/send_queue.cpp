#include "base/send_queue.h"

namespace veldrask {

void SendQueue::Append(std::span<const std::byte> bytes) {
  if (bytes.empty()) return;
  if (taken_ > 0 && taken_ >= bytes_.size() / 2) {
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(taken_));
    taken_ = 0;
  }
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

void SendQueue::Consume(std::size_t count) {
  taken_ += count;
  if (taken_ >= bytes_.size()) Clear();
}

void SendQueue::Clear() {
  bytes_.clear();
  taken_ = 0;
}

}  // namespace veldrask
