#include "memory_file_system.h"

#include "base/error.h"

namespace veldrask::bench {
namespace {

[[noreturn]] void NotKept(const std::string& path) {
  throw Error(ErrorNumber::kPathFileAccess, "benchmark file system keeps sizes only: " + path);
}

}  // namespace

std::int64_t MemoryFileSystem::FileSize(const std::string& path) {
  const auto found = sizes_.find(path);
  if (found == sizes_.end()) throw Error(ErrorNumber::kFileNotFound, path);
  return found->second;
}

std::unique_ptr<InputFile> MemoryFileSystem::OpenRead(const std::string& path) {
  NotKept(path);
}

std::unique_ptr<OutputFile> MemoryFileSystem::OpenWrite(const std::string& path) {
  NotKept(path);
}

std::unique_ptr<OutputFile> MemoryFileSystem::CreateExclusive(const std::string& path) {
  NotKept(path);
}

void MemoryFileSystem::Delete(const std::string& path) {
  NotKept(path);
}

void MemoryFileSystem::Rename(const std::string& from, const std::string&) {
  NotKept(from);
}

void MemoryFileSystem::RenameExclusive(const std::string& from, const std::string&) {
  NotKept(from);
}

std::vector<FolderFile> MemoryFileSystem::ListFiles(const std::string& folder, std::string_view) {
  NotKept(folder);
}

bool MemoryFileSystem::FolderExists(const std::string& path) {
  return path == "/";
}

void MemoryFileSystem::CreateFolder(const std::string& path) {
  NotKept(path);
}

}  // namespace veldrask::bench
