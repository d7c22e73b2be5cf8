#pragma once

#include <optional>
#include <string>

#include "platform/shell.h"

namespace veldrask::win32 {

// File types and icons from the shell (SHGetFileInfoW), folders opened in Explorer.
class Win32Shell : public Shell {
 public:
  // Asked by name and attributes alone (SHGFI_USEFILEATTRIBUTES): the shell answers for files
  // that do not exist yet without touching the disk, and an existing folder is asked as a
  // folder. The icon is the shell's HICON, owned by the picture's native handle (destroyed with
  // its last copy); its name is "shell-icon:" and the system image list index, the same for
  // every file of the type. nullopt when the shell knows nothing of the name.
  std::optional<FileInfo> GetFileInfo(const std::string& path, IconSize size) override;

  // ShellExecuteW "open" on the folder; false when the shell refuses.
  bool OpenFolder(const std::string& path) override;
};

}  // namespace veldrask::win32
