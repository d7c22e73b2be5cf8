#include "common/named_file_icon.h"

#include "base/error.h"
#include "common/path_names.h"

namespace veldrask {
namespace {

constexpr std::string_view kScratchPrefix = "VELDRASKUPDN.temp.";

bool CreateEmptyFile(FileSystem& files, const std::string& path) {
  try {
    files.OpenWrite(path)->Close();
    return true;
  } catch (const Error&) {
    return false;
  }
}

void CreateFolderIfMissing(FileSystem& files, const std::string& folder) {
  try {
    if (!files.FolderExists(folder)) files.CreateFolder(folder);
  } catch (const Error&) {
    // The stand-in's own creation reports nothing either; the shell gets the bare path.
  }
}

}  // namespace

std::string ScratchFileName(std::string_view fileName) {
  std::string name(kScratchPrefix);
  for (const char c : fileName) {
    name.push_back(c == '/' || c == '\\' || c == '\0' ? '_' : c);
  }
  return name;
}

std::string AddFileIconForName(FileIcons& icons, FileSystem& files, std::string_view fileName,
                               std::string_view key, std::string_view fallbackFolder) {
  const std::string scratchName = ScratchFileName(fileName);
  const std::string_view separator = files.Separator();
  std::string path = JoinPath(files.TempFolder(), scratchName, separator);
  bool created = CreateEmptyFile(files, path);
  if (!created) {
    const std::string folder(fallbackFolder);
    CreateFolderIfMissing(files, folder);
    path = JoinPath(folder, scratchName, separator);
    created = CreateEmptyFile(files, path);
  }
  std::string typeName = icons.AddFileIcon(path, key);
  if (created) {
    try {
      files.Delete(path);
    } catch (const Error&) {
      // A stand-in that outlives the query is harmless: it is empty and recreated next time.
    }
  }
  return typeName;
}

}  // namespace veldrask
