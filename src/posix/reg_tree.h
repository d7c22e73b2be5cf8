#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace veldrask::posix {

// Folds ASCII letters to lower case for the registry's case-insensitive names. The bytes are
// ANSI code page text: the second byte of a double-byte character (after a lead byte
// 0x81..0xFE) may look like an ASCII letter and is left as it is.
std::string FoldRegistryName(std::string_view name);

// A key path relative to its hive: key names joined by "\" with empty names dropped ("" is the
// hive itself), so "Software\\A\" and "Software\A" name the same key.
std::string NormalizeKeyPath(std::string_view path);

// Joins a key path and a relative path below it.
std::string JoinKeyPath(std::string_view parent, std::string_view child);

// What the Win32 registry refuses to create: a key name over 255 characters, a key more than
// 512 levels below its hive. Within them a path costs at most 512 times its length to create,
// and a hive file stays near the size of what was stored.
inline constexpr std::size_t kMaxKeyNameCharacters = 255;
inline constexpr std::size_t kMaxKeyDepth = 512;
// Whether a normalized key path stays within both limits. Characters are counted in the ANSI
// code page: a lead byte 0x81..0xFE and its trail byte are one.
bool IsWithinKeyLimits(std::string_view path);

struct RegValue {
  std::string name;  // "" is the key's default value
  std::uint32_t type = 0;
  std::vector<std::byte> data;

  bool operator==(const RegValue&) const = default;
};

struct RegKey {
  std::string path;  // as first created, normalized
  std::vector<RegValue> values;
  // Folded value name to its place in values, so a key's values read in linear time.
  std::unordered_map<std::string, std::size_t> valueIndex;
};

// One hive's keys and values in memory. Key paths passed in are normalized (NormalizeKeyPath);
// comparisons of key paths and value names ignore ASCII case.
class RegTree {
 public:
  RegTree();

  bool HasKey(std::string_view path) const;
  // Creates the key and every missing key above it; an existing key keeps its spelling.
  void CreateKey(std::string_view path);
  bool HasSubkeys(std::string_view path) const;
  // Removes a key and its values; false when it does not exist or has subkeys. The hive
  // itself ("") cannot be removed.
  bool DeleteKey(std::string_view path);

  // Null when the key or the value does not exist.
  const RegValue* FindValue(std::string_view path, std::string_view name) const;
  // Adds or replaces the value (keeping the stored spelling of its name); false when the key
  // does not exist.
  bool SetValue(std::string_view path, RegValue value);
  bool DeleteValue(std::string_view path, std::string_view name);

  // Every key, ordered by folded path, so a parent comes before its subkeys. Keys the caller
  // made are within the key limits only when it checked them (IsWithinKeyLimits).
  const std::map<std::string, RegKey>& Keys() const { return keys_; }

 private:
  RegKey* Find(std::string_view path);
  const RegKey* Find(std::string_view path) const;

  std::map<std::string, RegKey> keys_;  // by folded path
};

}  // namespace veldrask::posix
