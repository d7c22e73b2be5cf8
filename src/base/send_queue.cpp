#include "base/send_queue.h"

#include <algorithm>

namespace veldrask {

void SendQueue::Append(std::span<const std::byte> bytes) {
  if (bytes.empty()) return;
  if (bytes.size() > kChunk) {
    // Rare (a large send's rest on Windows): an allocation of its own.
    std::shared_ptr<std::byte[]> copy = std::make_shared_for_overwrite<std::byte[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), copy.get());
    AppendRun({std::span<const std::byte>(copy.get(), bytes.size()), std::move(copy)});
    return;
  }
  std::byte* const copy = CopySpace(bytes.size());
  std::copy(bytes.begin(), bytes.end(), copy);
  AppendRun({std::span<const std::byte>(copy, bytes.size()), chunk_});
}

std::byte* SendQueue::CopySpace(std::size_t count) {
  if (!chunk_ || kChunk - chunkUsed_ < count) {
    chunk_.reset();
    chunk_ = chunks_.Take();
    chunkUsed_ = 0;
  }
  std::byte* const space = chunk_.get() + chunkUsed_;
  chunkUsed_ += count;
  return space;
}

void SendQueue::Append(SharedBytes bytes) {
  if (!bytes.owner) {
    Append(bytes.bytes);
  } else if (!bytes.bytes.empty()) {
    AppendRun(std::move(bytes));
  }
}

void SendQueue::AppendRun(SharedBytes run) {
  size_ += run.bytes.size();
  if (!runs_.empty()) {
    SharedBytes& last = runs_.back();
    // Blocks read one after another from the same piece join into one run.
    if (last.owner == run.owner && last.bytes.data() + last.bytes.size() == run.bytes.data()) {
      last.bytes = std::span(last.bytes.data(), last.bytes.size() + run.bytes.size());
      return;
    }
  }
  runs_.push_back(std::move(run));
}

std::size_t SendQueue::Runs(std::span<std::span<const std::byte>> runs, std::size_t limit) const {
  std::size_t filled = 0;
  for (auto run = runs_.begin(); run != runs_.end() && filled < runs.size() && limit > 0; ++run) {
    const std::size_t size = std::min(run->bytes.size(), limit);
    runs[filled++] = run->bytes.first(size);
    limit -= size;
  }
  return filled;
}

std::span<const std::byte> SendQueue::Front() const {
  return runs_.empty() ? std::span<const std::byte>() : runs_.front().bytes;
}

void SendQueue::Consume(std::size_t count) {
  count = std::min(count, size_);
  size_ -= count;
  while (count > 0) {
    SharedBytes& front = runs_.front();
    if (count < front.bytes.size()) {
      front.bytes = front.bytes.subspan(count);
      return;
    }
    count -= front.bytes.size();
    runs_.pop_front();
  }
}

void SendQueue::Clear() {
  runs_.clear();
  size_ = 0;
}

}  // namespace veldrask
