#include "download_folder.h"

#include <system_error>

#include "options.h"

namespace veldrask::host {

void MakeDownloadFolder(const std::filesystem::path& folder, const std::string& shown) {
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) return;
  if (std::filesystem::exists(folder, error)) {
    throw UsageError("--to " + shown + ": not a folder");
  }
  if (!std::filesystem::create_directory(folder, error) && !std::filesystem::is_directory(folder)) {
    throw UsageError("--to " + shown + ": the folder cannot be made (" + error.message() + ")");
  }
}

}  // namespace veldrask::host
