#pragma once

// How the queue names files: the paths of a file-dialog selection and the extension keys
// under which the image lists keep one icon pair per file type.

#include <string>
#include <string_view>
#include <vector>

namespace veldrask {

// The extension key of a name that has no ".".
inline constexpr std::string_view kNoExtensionKey = "__NONE__";

// The text after the last "." of the path's last separator-delimited segment, letter case
// kept ("archive.tar.GZ" -> "GZ"); kNoExtensionKey when that segment holds no ".".
std::string ExtensionKey(std::string_view path, std::string_view separator);

// folder, the separator and name; a folder that already ends with the separator (a drive
// root, "/") gets no second one.
std::string JoinPath(std::string_view folder, std::string_view name, std::string_view separator);

// The paths a file-open dialog's file name stands for: one full path, or for a multiple
// selection the folder and the names separated by NULs, each name joined to the folder.
// Empty names (a trailing NUL) stand for no file.
std::vector<std::string> SelectionPaths(std::string_view fileName, std::string_view separator);

// Whether the dialog's file name holds several names (folder and names split by NULs).
bool IsMultipleSelection(std::string_view fileName);

}  // namespace veldrask
