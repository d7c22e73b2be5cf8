#pragma once

// Icons and type names for files that exist only on the server: the shell judges a file by
// a real path, so an empty stand-in of the same name is made for the moment of the query.

#include <string>
#include <string_view>

#include "common/file_icons.h"
#include "platform/file_system.h"

namespace veldrask {

// The stand-in's file name for a server file name. Separators and NULs become "_" so the
// stand-in stays in the folder it is made in, whatever the server sent.
std::string ScratchFileName(std::string_view fileName);

// Makes an empty stand-in named ScratchFileName(fileName) in the temporary folder (in
// fallbackFolder, created when missing, if that fails), asks icons.AddFileIcon about it with
// key, deletes it and returns the type name. File failures are not reported: without a
// stand-in the shell is asked about a path that does not exist and the type name is "".
std::string AddFileIconForName(FileIcons& icons, FileSystem& files, std::string_view fileName,
                               std::string_view key, std::string_view fallbackFolder);

}  // namespace veldrask
