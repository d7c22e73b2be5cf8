#pragma once

#include <optional>
#include <string>

#include "platform/picture.h"

namespace veldrask {

enum class IconSize { kSmall, kLarge };  // 16 x 16 and 32 x 32

struct FileInfo {
  std::string typeName;  // in the user's language
  Picture icon;          // empty when the type has no icon
};

class Shell {
 public:
  virtual ~Shell() = default;

  // The shell's type name and icon for a file; nullopt when the shell has no information
  // for the path (a file that does not exist, for instance).
  virtual std::optional<FileInfo> GetFileInfo(const std::string& path, IconSize size) = 0;

  // Opens the folder in the file manager; false when nothing could open it.
  virtual bool OpenFolder(const std::string& path) = 0;
};

}  // namespace veldrask
