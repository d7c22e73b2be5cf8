#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace veldrask::testing {

// Throws std::runtime_error when the file cannot be written or read.
void WriteFile(const std::filesystem::path& path, std::string_view bytes);
std::string ReadFile(const std::filesystem::path& path);

// Writes size bytes of DeterministicContent(key), key being the file name's bytes when empty;
// returns their SHA-256 in hex. Written in blocks, so files of gigabytes are fine.
std::string WriteDeterministicFile(const std::filesystem::path& path, std::uint64_t size,
                                   std::string_view key = {});

// SHA-256 in hex of a file's content, read in blocks.
std::string FileSha256(const std::filesystem::path& path);

}  // namespace veldrask::testing
