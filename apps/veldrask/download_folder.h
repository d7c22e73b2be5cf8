#pragma once

#include <filesystem>
#include <string>

namespace veldrask::host {

// Makes --to's folder one before the control is given it: the control remembers whatever its
// folder browser answers as DownPath, and the browser only ever answers a folder. A missing
// folder is made (one level, as the browser's new-folder button would). Raises UsageError
// naming shown when the path is something else or cannot be made, so nothing is remembered.
void MakeDownloadFolder(const std::filesystem::path& folder, const std::string& shown);

}  // namespace veldrask::host
