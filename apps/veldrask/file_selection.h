#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace veldrask::host {

// A FILE argument as the open dialog would give it: absolute and without "." or ".."
// segments (links are kept as named). Raises UsageError when it names no readable plain file.
std::string UploadPath(const std::string& argument, const std::filesystem::path& workingFolder);

// What the open dialog answers when the user picks paths (absolute, as UploadPath makes them)
// in one go: a single path as it is; several as their deepest common folder followed by each
// path relative to it, all separated by NULs.
std::string DialogSelection(const std::vector<std::string>& paths);

}  // namespace veldrask::host
