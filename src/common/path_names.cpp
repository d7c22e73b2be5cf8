#include "common/path_names.h"

#include "base/text.h"

namespace veldrask {
namespace {

constexpr std::string_view kNul{"\0", 1};

}  // namespace

std::string ExtensionKey(std::string_view path, std::string_view separator) {
  const std::string_view segment = AfterLast(path, separator);
  const std::size_t dot = segment.rfind('.');
  if (dot == std::string_view::npos) return std::string(kNoExtensionKey);
  return std::string(segment.substr(dot + 1));
}

std::string JoinPath(std::string_view folder, std::string_view name, std::string_view separator) {
  std::string path(folder);
  if (!folder.ends_with(separator)) path += separator;
  path += name;
  return path;
}

bool IsMultipleSelection(std::string_view fileName) {
  return Contains(fileName, kNul);
}

std::vector<std::string> SelectionPaths(std::string_view fileName, std::string_view separator) {
  std::vector<std::string> pieces = Split(fileName, kNul);
  if (pieces.size() == 1) return pieces;
  std::vector<std::string> paths;
  for (std::size_t i = 1; i < pieces.size(); ++i) {
    if (!pieces[i].empty()) paths.push_back(JoinPath(pieces[0], pieces[i], separator));
  }
  return paths;
}

}  // namespace veldrask
