#include "support/files.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "support/deterministic_bytes.h"
#include "support/sha256.h"

namespace veldrask::testing {
namespace {

constexpr std::size_t kChunk = 1 << 20;

std::ofstream OpenForWriting(const std::filesystem::path& path) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + path.string());
  return out;
}

std::ifstream OpenForReading(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return in;
}

}  // namespace

void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out = OpenForWriting(path);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in = OpenForReading(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string WriteDeterministicFile(const std::filesystem::path& path, std::uint64_t size,
                                   std::string_view key) {
  const std::string name = path.filename().string();
  const DeterministicContent content(key.empty() ? std::string_view(name) : key);
  std::ofstream out = OpenForWriting(path);
  Sha256 hash;
  for (std::uint64_t offset = 0; offset < size;) {
    const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, size - offset));
    const std::string chunk = content.Bytes(offset, length);
    out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    hash.Update(chunk);
    offset += length;
  }
  if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
  return hash.HexDigest();
}

std::string FileSha256(const std::filesystem::path& path) {
  std::ifstream in = OpenForReading(path);
  Sha256 hash;
  std::vector<char> chunk(kChunk);
  while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0) {
    hash.Update(std::string_view(chunk.data(), static_cast<std::size_t>(in.gcount())));
  }
  return hash.HexDigest();
}

}  // namespace veldrask::testing
