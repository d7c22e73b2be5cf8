#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/file_system.h"

namespace veldrask {

// Hands out a file's blocks for sending, reading it in pieces of whole blocks (about
// kReadAhead bytes, at least one block, never more than the file): a small BufferSize then
// costs one read for many blocks, and memory stays one piece whatever the file's size.
class BlockReader {
 public:
  static constexpr std::size_t kReadAhead = std::size_t{256} << 10;

  // No block is longer than blockSize (at least 1) nor any file than largestFile bytes.
  BlockReader(std::int32_t blockSize, std::int32_t largestFile);

  // Starts on input, of which size bytes were counted; path names it in errors.
  void Start(InputFile& input, std::int32_t size, std::string path);
  // The next blockBytes bytes of the file, valid until the next call. A file that ended before
  // them has shrunk since it was counted: what it held is handed out whole block by block,
  // then this raises, and nothing ever stands in for the missing bytes.
  std::span<const std::byte> Next(std::size_t blockBytes);

 private:
  void ReadPiece();

  std::size_t pieceSize_;
  std::size_t capacity_;
  std::unique_ptr<std::byte[]> piece_;
  InputFile* input_ = nullptr;
  std::string path_;
  std::size_t unread_ = 0;  // counted bytes not yet read
  std::size_t held_ = 0;    // bytes of the current piece
  std::size_t handedOut_ = 0;
  bool endedEarly_ = false;
};

}  // namespace veldrask
