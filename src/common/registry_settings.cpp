#include "common/registry_settings.h"

#include <algorithm>
#include <vector>

#include "base/text.h"

namespace veldrask {
namespace {

constexpr std::size_t kFirstQuerySize = 512;

// Closes a key handle when the operation is done; a null handle needs no closing.
class KeyGuard {
 public:
  KeyGuard(Registry& registry, RegistryKey& key) : registry_(registry), key_(key) {}
  ~KeyGuard() {
    if (key_ != kNullKey) registry_.CloseKey(key_);
  }
  KeyGuard(const KeyGuard&) = delete;
  KeyGuard& operator=(const KeyGuard&) = delete;

 private:
  Registry& registry_;
  RegistryKey& key_;
};

}  // namespace

std::int32_t RegistrySettings::SaveString(std::int32_t hKey, std::string_view strPath,
                                          std::string_view strValueName, std::string_view strData) {
  RegistryKey key = kNullKey;
  KeyGuard guard(registry_, key);
  registry_.CreateKey(HiveKey(hKey), ansi_.Encode(strPath), key);  // failure shows as status 6
  std::string data = ansi_.Encode(strData);
  data.push_back('\0');
  return registry_.SetValue(key, ansi_.Encode(strValueName), registry_type::kString, AsBytes(data));
}

std::int32_t RegistrySettings::DeleteKey(std::int32_t hKey, std::string_view strKey) {
  return registry_.DeleteKey(HiveKey(hKey), ansi_.Encode(strKey));
}

std::int32_t RegistrySettings::DeleteValue(std::int32_t hKey, std::string_view strPath,
                                           std::string_view strValueName) {
  RegistryKey key = kNullKey;
  KeyGuard guard(registry_, key);
  registry_.OpenKey(HiveKey(hKey), ansi_.Encode(strPath), key);
  return registry_.DeleteValue(key, ansi_.Encode(strValueName));
}

std::string RegistrySettings::ReadString(std::int32_t hive, std::string_view keyPath,
                                         std::string_view valueName) {
  RegistryKey key = kNullKey;
  KeyGuard guard(registry_, key);
  registry_.OpenKey(HiveKey(hive), ansi_.Encode(keyPath), key);
  const std::string name = ansi_.Encode(valueName);
  // A folder's path fits the first buffer, so one query usually does; a longer value is asked
  // for again at the size the first query gave.
  std::vector<std::byte> buffer(kFirstQuerySize);
  std::uint32_t type = registry_type::kNone;
  auto size = static_cast<std::uint32_t>(buffer.size());
  std::int32_t status = registry_.QueryValue(key, name, type, size, buffer.data());
  if (status == registry_status::kMoreData) {
    buffer.resize(size);
    status = registry_.QueryValue(key, name, type, size, buffer.data());
  }
  if (status != registry_status::kSuccess || type != registry_type::kString) return {};
  const auto* bytes = reinterpret_cast<const char*>(buffer.data());
  const std::string_view text(bytes, std::min<std::size_t>(size, buffer.size()));
  return ansi_.Decode(text.substr(0, text.find('\0')));
}

}  // namespace veldrask
