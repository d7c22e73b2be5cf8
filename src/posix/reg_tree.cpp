#include "posix/reg_tree.h"

namespace veldrask::posix {

std::string FoldRegistryName(std::string_view name) {
  std::string folded(name);
  for (std::size_t i = 0; i < folded.size(); ++i) {
    const auto byte = static_cast<unsigned char>(folded[i]);
    if (byte >= 0x81 && byte <= 0xFE) {
      ++i;  // the trail byte of a double-byte character
    } else if (byte >= 'A' && byte <= 'Z') {
      folded[i] = static_cast<char>(byte - 'A' + 'a');
    }
  }
  return folded;
}

std::string NormalizeKeyPath(std::string_view path) {
  std::string normalized;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) {
      if (!normalized.empty()) normalized += '\\';
      normalized.append(path.substr(start, end - start));
    }
    start = end + 1;
  }
  return normalized;
}

std::string JoinKeyPath(std::string_view parent, std::string_view child) {
  std::string joined(parent);
  joined += '\\';
  joined += child;
  return NormalizeKeyPath(joined);
}

bool IsWithinKeyLimits(std::string_view path) {
  std::size_t depth = path.empty() ? 0 : 1;
  std::size_t characters = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const auto byte = static_cast<unsigned char>(path[i]);
    if (byte == '\\') {
      ++depth;
      characters = 0;
      continue;
    }
    if (byte >= 0x81 && byte <= 0xFE) ++i;  // the trail byte of a double-byte character
    if (++characters > kMaxKeyNameCharacters) return false;
  }
  return depth <= kMaxKeyDepth;
}

RegTree::RegTree() {
  keys_.emplace("", RegKey{});
}

RegKey* RegTree::Find(std::string_view path) {
  const auto found = keys_.find(FoldRegistryName(path));
  return found == keys_.end() ? nullptr : &found->second;
}

const RegKey* RegTree::Find(std::string_view path) const {
  const auto found = keys_.find(FoldRegistryName(path));
  return found == keys_.end() ? nullptr : &found->second;
}

bool RegTree::HasKey(std::string_view path) const {
  return Find(path) != nullptr;
}

void RegTree::CreateKey(std::string_view path) {
  // Folding keeps every byte in its place, so the prefixes of the folded path are the keys. A
  // new key is spelt under its parent as the parent was first spelt, so that its path read
  // back from a written file files it in the same place.
  const std::string folded = FoldRegistryName(path);
  std::string spelt;
  for (std::size_t start = 0; start < path.size();) {
    std::size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (!spelt.empty()) spelt += '\\';
    spelt += path.substr(start, end - start);
    const auto [key, added] = keys_.try_emplace(folded.substr(0, end));
    if (added) {
      key->second.path = spelt;
    } else {
      spelt = key->second.path;
    }
    start = end + 1;
  }
}

bool RegTree::HasSubkeys(std::string_view path) const {
  const std::string folded = FoldRegistryName(path);
  if (folded.empty()) return keys_.size() > 1;
  const std::string prefix = folded + '\\';
  const auto next = keys_.lower_bound(prefix);
  return next != keys_.end() && next->first.starts_with(prefix);
}

bool RegTree::DeleteKey(std::string_view path) {
  if (path.empty() || HasSubkeys(path)) return false;
  return keys_.erase(FoldRegistryName(path)) > 0;
}

const RegValue* RegTree::FindValue(std::string_view path, std::string_view name) const {
  const RegKey* key = Find(path);
  if (key == nullptr) return nullptr;
  const auto found = key->valueIndex.find(FoldRegistryName(name));
  return found == key->valueIndex.end() ? nullptr : &key->values[found->second];
}

bool RegTree::SetValue(std::string_view path, RegValue value) {
  RegKey* key = Find(path);
  if (key == nullptr) return false;
  const auto [found, added] =
      key->valueIndex.try_emplace(FoldRegistryName(value.name), key->values.size());
  if (added) {
    key->values.push_back(std::move(value));
  } else {
    RegValue& existing = key->values[found->second];
    existing.type = value.type;
    existing.data = std::move(value.data);
  }
  return true;
}

bool RegTree::DeleteValue(std::string_view path, std::string_view name) {
  RegKey* key = Find(path);
  if (key == nullptr) return false;
  const auto found = key->valueIndex.find(FoldRegistryName(name));
  if (found == key->valueIndex.end()) return false;
  const std::size_t removed = found->second;
  key->valueIndex.erase(found);
  key->values.erase(key->values.begin() + static_cast<std::ptrdiff_t>(removed));
  for (auto& [folded, place] : key->valueIndex) {
    if (place > removed) --place;
  }
  return true;
}

}  // namespace veldrask::posix
