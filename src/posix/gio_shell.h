#pragma once

#include <optional>
#include <string>

#include "platform/shell.h"

namespace veldrask::posix {

// File types and icons from GIO's shared MIME database, and the folder opener of the desktop.
class GioShell : public Shell {
 public:
  // The type's description in the language the environment names (LANGUAGE, LC_ALL,
  // LC_MESSAGES, LANG: GIO reads these itself, no setlocale needed) and the type's themed icon
  // name (e.g. "text-plain") as both icons. nullopt when the file cannot be queried.
  std::optional<FileInfo> GetFileInfo(const std::string& path) override;

  // Starts "xdg-open path" in its own session without waiting for it; false when xdg-open is
  // not on PATH or cannot be started.
  bool OpenFolder(const std::string& path) override;
};

}  // namespace veldrask::posix
