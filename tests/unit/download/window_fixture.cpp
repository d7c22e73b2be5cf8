#include "window_fixture.h"

#include <iterator>
#include <stdexcept>

namespace veldrask::testing {

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
