#pragma once

#include <cstddef>
#include <iterator>
#include <memory>
#include <span>

namespace veldrask {

// Bytes as a socket hands them over, with the part of a vector's interface the sockets use.
// Growing leaves the new bytes uninitialised, since a receive is about to write them, and every
// operation is at most one allocation and one copy: nothing here takes a step per byte, so an
// unoptimised build moves bytes nearly as fast as an optimised one.
class ByteBuffer {
 public:
  using value_type = std::byte;
  using iterator = std::byte*;
  using const_iterator = const std::byte*;

  ByteBuffer() = default;
  ByteBuffer(const ByteBuffer& other);
  ByteBuffer& operator=(const ByteBuffer& other);
  ByteBuffer(ByteBuffer&& other) noexcept { swap(other); }
  ByteBuffer& operator=(ByteBuffer&& other) noexcept;
  ~ByteBuffer() = default;

  std::byte* data() noexcept { return bytes_.get(); }
  const std::byte* data() const noexcept { return bytes_.get(); }
  std::size_t size() const noexcept { return size_; }
  std::size_t capacity() const noexcept { return capacity_; }
  bool empty() const noexcept { return size_ == 0; }
  iterator begin() noexcept { return data(); }
  iterator end() noexcept { return data() + size_; }
  const_iterator begin() const noexcept { return data(); }
  const_iterator end() const noexcept { return data() + size_; }
  std::byte& operator[](std::size_t index) noexcept { return bytes_[index]; }
  const std::byte& operator[](std::size_t index) const noexcept { return bytes_[index]; }

  void clear() noexcept { size_ = 0; }
  void reserve(std::size_t wanted);
  // The bytes past the old size are not initialised.
  void resize(std::size_t size);
  void push_back(std::byte byte);
  // Appends [first, last): at must be end().
  template <std::contiguous_iterator It>
  void insert(const_iterator at, It first, It last) {
    Insert(at, std::span<const std::byte>(std::to_address(first),
                                          static_cast<std::size_t>(last - first)));
  }
  // Removes [first, last), moving what follows to first.
  void erase(const_iterator first, const_iterator last) noexcept;
  void swap(ByteBuffer& other) noexcept;

 private:
  void Insert(const_iterator at, std::span<const std::byte> bytes);
  // Makes room for at least wanted bytes, keeping those held.
  void Reallocate(std::size_t wanted);

  std::unique_ptr<std::byte[]> bytes_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace veldrask
