#include "base/send_queue.h"

#include <algorithm>

namespace veldrask {

void SendQueue::Append(std::span<const std::byte> bytes) {
  if (bytes.empty()) return;
  const std::span<std::byte> room = Extend(bytes.size());
  std::copy(bytes.begin(), bytes.end(), room.begin());
}

std::span<std::byte> SendQueue::Extend(std::size_t count) {
  if (taken_ > 0 && taken_ >= bytes_.size() / 2) {
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(taken_));
    taken_ = 0;
  }
  const std::size_t before = bytes_.size();
  bytes_.resize(before + count);
  return std::span(bytes_).subspan(before);
}

void SendQueue::DropBack(std::size_t count) {
  bytes_.resize(bytes_.size() - std::min(count, Size()));
  if (Empty()) Clear();
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
