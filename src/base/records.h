#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace veldrask {

// A form field that the page adds for the next upload.
struct PostData {
  std::string name;
  std::string value;

  bool operator==(const PostData&) const = default;
};

// One file of a transfer: its key, its name, its size in bytes and, for an upload, the part
// head that precedes its bytes.
struct AttachedFile {
  std::string key;
  std::string name;
  std::int32_t size = 0;
  std::string header;

  bool operator==(const AttachedFile&) const = default;
};

// The control's two file arrays each keep one empty entry beside their files, where pages have
// always found it: AttachedFileList before them (entry 0; the files are 1..n) and DownFileList
// after them (the files are 0..n-1; entry n closes the list). Whatever builds or reads them
// keeps to that; code that wants the files alone takes them through these two.
inline std::span<const AttachedFile> FilesOfUploadList(std::span<const AttachedFile> list) {
  return list.empty() ? list : list.subspan(1);
}
inline std::span<const AttachedFile> FilesOfDownloadList(std::span<const AttachedFile> list) {
  return list.empty() ? list : list.first(list.size() - 1);
}

}  // namespace veldrask
