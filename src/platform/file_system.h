#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"

namespace veldrask {

// Every operation that fails raises veldrask::Error with the control's numbering (file not
// found, path not found, permission denied, bad file name, file already exists, ...).

// The check every file system makes of a path before it hands the path to the system: an empty
// one, or one holding a NUL (where a C or wide path would silently end), raises "bad file
// name". A backend adds what its own system refuses.
inline void CheckPathName(std::string_view path) {
  if (path.empty() || path.find('\0') != std::string_view::npos) {
    throw Error(ErrorNumber::kBadFileName);
  }
}

class InputFile {
 public:
  virtual ~InputFile() = default;
  // Reads up to buffer.size() bytes; returns how many were read, 0 at the end.
  virtual std::size_t Read(std::span<std::byte> buffer) = 0;
};

class OutputFile {
 public:
  virtual ~OutputFile() = default;
  virtual void Write(std::span<const std::byte> data) = 0;
  // Flushes and closes; raises when the data could not be stored. Destruction closes too,
  // silently.
  virtual void Close() = 0;
};

// A file of a folder as ListFiles finds it.
struct FolderFile {
  std::string name;                    // without the folder
  std::int64_t secondsSinceWrite = 0;  // since it was last written
  bool inUse = false;                  // made by CreateExclusive and still open, in any process
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The separator of path segments ("\" or "/") and the default download folder.
  virtual std::string_view Separator() const = 0;
  virtual std::string DefaultDownloadFolder() const = 0;
  // The temporary folder, ending with the separator.
  virtual std::string TempFolder() const = 0;

  virtual std::int64_t FileSize(const std::string& path) = 0;
  virtual std::unique_ptr<InputFile> OpenRead(const std::string& path) = 0;
  // Creates the file or truncates an existing one.
  virtual std::unique_ptr<OutputFile> OpenWrite(const std::string& path) = 0;
  // Creates a new file; raises "file already exists" when the name is taken. Until it is
  // closed, ListFiles reports it in use to every process; its Close returns once the data is
  // on disk.
  virtual std::unique_ptr<OutputFile> CreateExclusive(const std::string& path) = 0;
  virtual void Delete(const std::string& path) = 0;
  // Replaces to with from in one step.
  virtual void Rename(const std::string& from, const std::string& to) = 0;
  // Gives from the name to in one step, only while no file has that name: raises "file
  // already exists" when one has, and from keeps its name. Never replaces a file.
  virtual void RenameExclusive(const std::string& from, const std::string& to) = 0;
  // The plain files of folder whose names start with prefix, in no particular order.
  virtual std::vector<FolderFile> ListFiles(const std::string& folder, std::string_view prefix) = 0;

  // A plain file (not a folder, not hidden, not a system file) of that name exists.
  virtual bool FileExists(const std::string& path) = 0;
  virtual bool FolderExists(const std::string& path) = 0;
  // Creates one folder level; its parent must exist.
  virtual void CreateFolder(const std::string& path) = 0;
};

}  // namespace veldrask
