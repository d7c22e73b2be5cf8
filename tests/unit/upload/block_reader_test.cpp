#include "upload/block_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "memory_file_system.h"

namespace veldrask {
namespace {

// Blocks kept by whoever took them (a socket that queues them without a copy) keep their
// bytes while the reader goes on through later pieces; blocks let go leave their piece free,
// so memory stays one piece.
TEST(BlockReaderTest, KeptBlocksKeepTheirBytesAndFreePiecesAreReused) {
  std::string contents(3 * BlockReader::kReadAhead + 12345, '\0');
  for (std::size_t at = 0; at < contents.size(); ++at) {
    contents[at] = static_cast<char>('a' + at % 23 + at / 65536 % 3);
  }
  const auto size = static_cast<std::int32_t>(contents.size());
  testing::MemoryFileSystem files;
  files.Put("f", contents);

  for (const std::int32_t blockSize : {1000, 65536, 300000}) {
    BlockReader reader(blockSize, size);
    for (const bool keep : {true, false}) {
      const std::unique_ptr<InputFile> input = files.OpenRead("f");
      reader.Start(*input, size, "f");
      std::vector<SharedBytes> kept;
      std::string sent;
      std::vector<const std::byte*> starts;
      for (std::int32_t left = size; left > 0; left -= blockSize) {
        SharedBytes block = reader.Next(static_cast<std::size_t>(std::min(left, blockSize)));
        starts.push_back(block.bytes.data());
        sent.append(reinterpret_cast<const char*>(block.bytes.data()), block.bytes.size());
        if (keep) kept.push_back(std::move(block));
      }
      std::string held;
      for (const SharedBytes& block : kept) {
        held.append(reinterpret_cast<const char*>(block.bytes.data()), block.bytes.size());
      }
      EXPECT_EQ(sent, contents) << blockSize;
      EXPECT_EQ(held, keep ? contents : "") << blockSize;
      if (blockSize == 65536) {
        // The first block of the second piece is read into the first piece unless kept.
        const std::size_t perPiece = BlockReader::kReadAhead / 65536;
        EXPECT_EQ(starts[perPiece] == starts[0], !keep);
      }
    }
  }
}

}  // namespace
}  // namespace veldrask
