#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace veldrask::posix {

// The file system through POSIX calls. Paths are UTF-8 bytes as the file system stores them;
// failures raise the control's file errors (see posix_file_error.h).
class PosixFileSystem : public FileSystem {
 public:
  std::string_view Separator() const override { return "/"; }
  // $HOME/Download, with the password database's home folder when HOME is not set.
  std::string DefaultDownloadFolder() const override;
  // $TMPDIR, or /tmp, always ending with "/".
  std::string TempFolder() const override;

  // The size of a regular file; a folder raises "path/file access error".
  std::int64_t FileSize(const std::string& path) override;
  std::unique_ptr<InputFile> OpenRead(const std::string& path) override;
  std::unique_ptr<OutputFile> OpenWrite(const std::string& path) override;
  std::unique_ptr<OutputFile> CreateExclusive(const std::string& path) override;
  void Delete(const std::string& path) override;
  // rename(2): replaces an existing target atomically.
  void Rename(const std::string& from, const std::string& to) override;
  // renameat2 with RENAME_NOREPLACE; link and unlink where the file system lacks it.
  void RenameExclusive(const std::string& from, const std::string& to) override;
  // In use: a flock that CreateExclusive takes for the life of the file's descriptor.
  std::vector<FolderFile> ListFiles(const std::string& folder, std::string_view prefix) override;

  // A regular file whose name does not start with "." (hidden by convention on POSIX).
  bool FileExists(const std::string& path) override;
  bool FolderExists(const std::string& path) override;
  void CreateFolder(const std::string& path) override;
};

}  // namespace veldrask::posix
