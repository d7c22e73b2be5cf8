#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "base/buffer_pool.h"
#include "base/shared_bytes.h"
#include "platform/file_system.h"

namespace veldrask {

// Hands out a file's blocks for sending, reading it in pieces of whole blocks (about
// kReadAhead bytes, at least one block, never more than the file): a small BufferSize then
// costs one read for many blocks, and memory stays a few pieces whatever the file's size.
// Blocks come with a share in their piece, so a socket can keep them without a copy; a piece
// still shared when the next is due is left alone and another one read into.
class BlockReader {
 public:
  static constexpr std::size_t kReadAhead = std::size_t{512} << 10;

  // No block is longer than blockSize (at least 1) nor any file than largestFile bytes.
  BlockReader(std::int32_t blockSize, std::int32_t largestFile);

  // Starts on input, of which size bytes were counted; path names it in errors.
  void Start(InputFile& input, std::int32_t size, std::string path);
  // The next blockBytes bytes of the file, unchanged while the share lives. A file that ended
  // before them has shrunk since it was counted: what it held is handed out whole block by
  // block, then this raises, and nothing ever stands in for the missing bytes.
  SharedBytes Next(std::size_t blockBytes);

 private:
  void ReadPiece();

  std::size_t pieceSize_;
  BufferPool pieces_;
  std::shared_ptr<std::byte[]> piece_;  // the one being handed out
  InputFile* input_ = nullptr;
  std::string path_;
  std::size_t unread_ = 0;  // counted bytes not yet read
  std::size_t held_ = 0;    // bytes of the current piece
  std::size_t handedOut_ = 0;
  bool endedEarly_ = false;
};

}  // namespace veldrask
