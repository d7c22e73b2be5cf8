#include "file_selection.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "headless/file_dialog.h"
#include "options.h"

namespace veldrask::host {

std::string UploadPath(const std::string& argument, const std::filesystem::path& workingFolder) {
  if (argument.empty()) throw UsageError("upload: an empty FILE name");
  const std::filesystem::path path = (workingFolder / argument).lexically_normal();
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    throw UsageError("upload: " + argument + ": no such file");
  }
  if (!S_ISREG(status.st_mode)) throw UsageError("upload: " + argument + ": not a plain file");
  if (::access(path.c_str(), R_OK) != 0) {
    throw UsageError("upload: " + argument + ": not readable");
  }
  return path.string();
}

std::string DialogSelection(const std::vector<std::string>& paths) {
  if (paths.size() == 1) return headless::SelectedFile(paths.front());
  std::filesystem::path common = std::filesystem::path(paths.front()).parent_path();
  for (const std::string& path : paths) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    auto [commonEnd, folderEnd] =
        std::mismatch(common.begin(), common.end(), folder.begin(), folder.end());
    std::filesystem::path shared;
    for (auto part = common.begin(); part != commonEnd; ++part) shared /= *part;
    common = shared;
  }
  std::vector<std::string> names;
  names.reserve(paths.size());
  for (const std::string& path : paths) {
    names.push_back(std::filesystem::path(path).lexically_relative(common).string());
  }
  return headless::SelectedFiles(common.string(), names);
}

}  // namespace veldrask::host
