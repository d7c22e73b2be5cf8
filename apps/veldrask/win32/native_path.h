#pragma once

// Paths from the command line as Windows programs take them. Under Wine a path in Unix form
// ("/tmp/a.txt") is the file Wine maps it to, as a script would expect of any program.

#include <string>

namespace veldrask::host {

// The argument as an absolute Windows path (UTF-8).
std::string NativePath(const std::string& argument);

// A FILE argument as the open dialog would give it; raises UsageError when it names no
// readable plain file.
std::string DialogPath(const std::string& argument);

// A folder argument as the folder browser gives it: absolute, without a trailing separator
// but for a drive's root. Raises UsageError for an empty name.
std::string FolderPath(const std::string& argument);

}  // namespace veldrask::host
