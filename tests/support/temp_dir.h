#pragma once

#include <filesystem>
#include <string_view>

namespace veldrask::testing {

// A fresh directory under $TMPDIR (or /tmp), removed with everything in it on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // A path inside the directory; name is taken as raw bytes, so CP949 names work too.
  std::filesystem::path operator/(std::string_view name) const;

 private:
  std::filesystem::path path_;
};

}  // namespace veldrask::testing
