#include "upload/block_reader.h"

#include <algorithm>

#include "base/error.h"

namespace veldrask {

BlockReader::BlockReader(std::int32_t blockSize, std::int32_t largestFile)
    : pieceSize_(std::max<std::size_t>(
          static_cast<std::size_t>(blockSize),
          kReadAhead / static_cast<std::size_t>(blockSize) * static_cast<std::size_t>(blockSize))),
      pieces_(std::min(pieceSize_, static_cast<std::size_t>(std::max(largestFile, 0)))) {}

void BlockReader::Start(InputFile& input, std::int32_t size, std::string path) {
  input_ = &input;
  path_ = std::move(path);
  unread_ = static_cast<std::size_t>(size);
  held_ = handedOut_ = 0;
  endedEarly_ = false;
}

SharedBytes BlockReader::Next(std::size_t blockBytes) {
  // Pieces are whole blocks but for the file's last one, which ends with its last block, so a
  // block never spans two pieces.
  if (handedOut_ == held_ && !endedEarly_) ReadPiece();
  if (held_ - handedOut_ < blockBytes) {
    throw Error(ErrorNumber::kInputPastEnd, "전송하는 동안 파일이 작아졌습니다: " + path_);
  }
  const std::span<const std::byte> block(piece_.get() + handedOut_, blockBytes);
  handedOut_ += blockBytes;
  return {block, piece_};
}

void BlockReader::ReadPiece() {
  const std::size_t wanted = std::min(pieceSize_, unread_);
  held_ = handedOut_ = 0;
  piece_.reset();  // free for the pool unless a block of it is still held
  piece_ = pieces_.Take();
  while (held_ < wanted) {
    const std::size_t count = input_->Read(std::span(piece_.get() + held_, wanted - held_));
    if (count == 0) {
      endedEarly_ = true;
      break;
    }
    held_ += count;
  }
  unread_ -= held_;
}

}  // namespace veldrask
