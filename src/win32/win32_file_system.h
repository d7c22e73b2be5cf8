#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace veldrask::win32 {

// The file system through the wide Win32 calls. Paths are UTF-8 in the core and UTF-16 to the
// system, so every name the file system can hold works (Korean, characters outside CP949, long
// paths); failures raise the control's file errors (see win32_file_error.h).
class Win32FileSystem : public FileSystem {
 public:
  std::string_view Separator() const override { return "\\"; }
  std::string DefaultDownloadFolder() const override { return "C:\\Download"; }
  // GetTempPathW, ending with "\".
  std::string TempFolder() const override;

  // From the folder entry (GetFileAttributesExW), so a file locked by another process has a
  // size too; a folder raises "path/file access error".
  std::int64_t FileSize(const std::string& path) override;
  // Shares reading, writing and deleting: another program may keep working on the file.
  std::unique_ptr<InputFile> OpenRead(const std::string& path) override;
  // Shares reading only while the file is written.
  std::unique_ptr<OutputFile> OpenWrite(const std::string& path) override;
  std::unique_ptr<OutputFile> CreateExclusive(const std::string& path) override;
  void Delete(const std::string& path) override;
  // MoveFileExW replacing an existing target.
  void Rename(const std::string& from, const std::string& to) override;

  // A file that is neither a folder nor hidden nor a system file.
  bool FileExists(const std::string& path) override;
  bool FolderExists(const std::string& path) override;
  void CreateFolder(const std::string& path) override;
};

}  // namespace veldrask::win32
