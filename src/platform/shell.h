#pragma once

#include <optional>
#include <string>

#include "platform/picture.h"

namespace veldrask {

struct FileInfo {
  std::string typeName;  // in the user's language
  Picture smallIcon;     // 16 x 16; empty when the type has no icon
  Picture largeIcon;     // 32 x 32; empty when the type has no icon
};

class Shell {
 public:
  virtual ~Shell() = default;

  // The shell's type name and both icons of a file, in one question because a shell looks the
  // file up once for all three; nullopt when the shell has no information for the path (a file
  // that does not exist, for instance).
  virtual std::optional<FileInfo> GetFileInfo(const std::string& path) = 0;

  // Opens the folder in the file manager; false when nothing could open it.
  virtual bool OpenFolder(const std::string& path) = 0;
};

}  // namespace veldrask
