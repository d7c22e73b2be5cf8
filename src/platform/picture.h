#pragma once

#include <memory>
#include <string>

namespace veldrask {

// A picture as the shell hands out icons and as image lists keep them. name identifies it
// readably (a themed icon name on freedesktop systems); native holds a backend's own image
// where it has one. An empty picture shows nothing.
struct Picture {
  std::string name;
  std::shared_ptr<const void> native;

  bool Empty() const { return name.empty() && !native; }
  bool operator==(const Picture& other) const {
    return name == other.name && native == other.native;
  }
};

}  // namespace veldrask
