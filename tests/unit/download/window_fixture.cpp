#include "window_fixture.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace veldrask::testing {

std::vector<std::string> DownloadWindowTest::FolderNames() const {
  std::vector<std::string> names;
  if (!std::filesystem::exists(Folder())) return names;
  for (const auto& entry : std::filesystem::directory_iterator(Folder())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string DownloadWindowTest::Content(std::string_view name) const {
  std::ifstream file(Folder() / std::string(name), std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + std::string(name));
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void DownloadWindowTest::Put(std::string_view name, std::string_view content) const {
  std::filesystem::create_directories(Folder());
  std::ofstream file(Folder() / std::string(name), std::ios::binary);
  file.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!file) throw std::runtime_error("cannot write " + std::string(name));
}

}  // namespace veldrask::testing
