#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "platform/file_system.h"

namespace veldrask {

// One downloaded file on its way to disk. The body goes to a temporary file in the target's
// folder, and only the complete file takes a name the user sees: no failure, stop, kill or
// power loss leaves a partial or empty file under such a name, nor costs an existing one.
// Whatever is not committed is removed when the object goes; what a killed process left is
// removed by RemoveStaleTemporaries.
class PendingFile {
 public:
  // Gives the complete temporary file (its path is the argument) the name it is to have;
  // raises when it cannot.
  using Claim = std::function<void(const std::string& temporaryPath)>;

  PendingFile(FileSystem& files, std::string folder, Claim claim);
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  // Creates the temporary file; raises the file system's errors.
  void Open();
  bool IsOpen() const { return output_ != nullptr; }
  void Write(std::span<const std::byte> bytes);
  // Closes the temporary file, its data on disk, and claims the name; raises when either
  // fails, and the target folder then stays as it was.
  void Commit();
  // Removes what this download wrote; never raises.
  void Discard();

 private:
  FileSystem& files_;
  std::string folder_;
  Claim claim_;
  std::string temporaryPath_;
  std::unique_ptr<OutputFile> output_;
  bool finished_ = false;
};

// Removes from folder the temporary files of downloads that ended without removing them (the
// process was killed): those no writer holds any more, and any not written for a day.
// Never raises.
void RemoveStaleTemporaries(FileSystem& files, const std::string& folder);

}  // namespace veldrask
