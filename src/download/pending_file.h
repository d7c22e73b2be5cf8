#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>

#include "platform/file_system.h"

namespace veldrask {

// One downloaded file on its way to disk. The body goes to a temporary file in the target's
// folder and replaces the target in one step only when it is complete, so a failed or
// stopped download never leaves a partial file and never costs an existing one. Whatever is
// not committed is removed when the object goes: the temporary file, and the target's
// placeholder when this download created it.
class PendingFile {
 public:
  // placeholderPath is the empty file that reserved the target's name, or "" for none.
  PendingFile(FileSystem& files, std::string folder, std::string targetPath,
              std::string placeholderPath);
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  // Creates the temporary file; raises the file system's errors.
  void Open();
  bool IsOpen() const { return output_ != nullptr; }
  void Write(std::span<const std::byte> bytes);
  // Closes the temporary file and moves it over the target; raises when either fails, and
  // the target then stays as it was.
  void Commit();
  // Removes what this download wrote; never raises.
  void Discard();

 private:
  FileSystem& files_;
  std::string folder_;
  std::string targetPath_;
  std::string placeholderPath_;
  std::string temporaryPath_;
  std::unique_ptr<OutputFile> output_;
  bool finished_ = false;
};

}  // namespace veldrask
