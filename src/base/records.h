#pragma once

#include <cstdint>
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

}  // namespace veldrask
