#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>

#include "platform/shell.h"

namespace veldrask::win32 {

// File types and icons from the shell (SHGetFileInfoW), folders opened in Explorer.
class Win32Shell : public Shell {
 public:
  // Asked by name and attributes (SHGFI_USEFILEATTRIBUTES), so the shell reads nothing of the
  // file itself; like the other backends it answers only for a file or folder that exists
  // (nullopt otherwise). Each icon is the shell's HICON in the picture's native handle, one per
  // system image list index and size, shared by every file of the type and destroyed with the
  // last copy; its name is "shell-icon:" and that index.
  std::optional<FileInfo> GetFileInfo(const std::string& path) override;

  // ShellExecuteW "open" on the folder; false when the shell refuses.
  bool OpenFolder(const std::string& path) override;

 private:
  enum class IconSize { kSmall, kLarge };

  Picture SharedIcon(void* icon, int imageIndex, IconSize size);

  std::map<std::pair<int, IconSize>, Picture> icons_;
};

}  // namespace veldrask::win32
