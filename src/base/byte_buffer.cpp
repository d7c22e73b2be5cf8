#include "base/byte_buffer.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace veldrask {

ByteBuffer::ByteBuffer(const ByteBuffer& other) {
  Insert(end(), std::span<const std::byte>(other.data(), other.size()));
}

ByteBuffer& ByteBuffer::operator=(const ByteBuffer& other) {
  if (this != &other) {
    clear();
    Insert(end(), std::span<const std::byte>(other.data(), other.size()));
  }
  return *this;
}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept {
  ByteBuffer taken(std::move(other));
  swap(taken);
  return *this;
}

void ByteBuffer::reserve(std::size_t wanted) {
  if (wanted > capacity_) Reallocate(wanted);
}

void ByteBuffer::resize(std::size_t size) {
  // Doubling, as a vector grows, keeps a buffer grown a little at a time from copying often.
  if (size > capacity_) Reallocate(std::max(size, 2 * capacity_));
  size_ = size;
}

void ByteBuffer::push_back(std::byte byte) {
  resize(size_ + 1);
  bytes_[size_ - 1] = byte;
}

void ByteBuffer::Insert(const_iterator at, std::span<const std::byte> bytes) {
  if (at != end()) throw std::logic_error("ByteBuffer only appends");
  if (bytes.empty()) return;
  const std::size_t start = size_;
  resize(size_ + bytes.size());
  std::memcpy(data() + start, bytes.data(), bytes.size());
}

void ByteBuffer::erase(const_iterator first, const_iterator last) noexcept {
  if (first == last) return;
  const std::size_t kept = static_cast<std::size_t>(end() - last);
  std::memmove(data() + (first - begin()), last, kept);
  size_ = static_cast<std::size_t>(first - begin()) + kept;
}

void ByteBuffer::swap(ByteBuffer& other) noexcept {
  std::swap(bytes_, other.bytes_);
  std::swap(size_, other.size_);
  std::swap(capacity_, other.capacity_);
}

void ByteBuffer::Reallocate(std::size_t wanted) {
  std::unique_ptr<std::byte[]> bytes = std::make_unique_for_overwrite<std::byte[]>(wanted);
  if (size_ > 0) std::memcpy(bytes.get(), bytes_.get(), size_);
  bytes_ = std::move(bytes);
  capacity_ = wanted;
}

}  // namespace veldrask
