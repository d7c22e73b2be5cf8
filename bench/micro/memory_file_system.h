#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/file_system.h"

namespace veldrask::bench {

// File sizes kept in memory, so a benchmark of request composition measures the composition
// and not stat(2). Only the sizes and the separator are answered; the rest raises.
class MemoryFileSystem final : public FileSystem {
 public:
  void PutSize(std::string path, std::int64_t size) { sizes_[std::move(path)] = size; }

  std::string_view Separator() const override { return "/"; }
  std::string DefaultDownloadFolder() const override { return "/tmp/Download"; }
  std::string TempFolder() const override { return "/tmp/"; }

  std::int64_t FileSize(const std::string& path) override;
  std::unique_ptr<InputFile> OpenRead(const std::string& path) override;
  std::unique_ptr<OutputFile> OpenWrite(const std::string& path) override;
  std::unique_ptr<OutputFile> CreateExclusive(const std::string& path) override;
  void Delete(const std::string& path) override;
  void Rename(const std::string& from, const std::string& to) override;
  void RenameExclusive(const std::string& from, const std::string& to) override;
  std::vector<FolderFile> ListFiles(const std::string& folder, std::string_view prefix) override;
  bool FileExists(const std::string& path) override { return sizes_.contains(path); }
  bool FolderExists(const std::string& path) override;
  void CreateFolder(const std::string& path) override;

 private:
  std::unordered_map<std::string, std::int64_t> sizes_;
};

}  // namespace veldrask::bench
