#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>

namespace veldrask {

// A set of keys looked up by view without copying the key, in constant time on average. The
// lists keep one beside their rows so that a look-up per added row stays linear overall.
class KeySet {
 public:
  bool Contains(std::string_view key) const { return keys_.find(key) != keys_.end(); }
  void Insert(std::string_view key) { keys_.emplace(key); }
  void Erase(std::string_view key) {
    if (const auto found = keys_.find(key); found != keys_.end()) keys_.erase(found);
  }

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view key) const {
      return std::hash<std::string_view>{}(key);
    }
  };
  std::unordered_set<std::string, Hash, std::equal_to<>> keys_;
};

}  // namespace veldrask
