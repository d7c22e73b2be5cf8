#include "posix/reg_file_registry.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "posix/reg_file_format.h"
#include "posix/user_folders.h"

namespace veldrask::posix {
namespace {

using registry_status::kAccessDenied;
using registry_status::kInvalidHandle;
using registry_status::kMoreData;
using registry_status::kNotFound;
using registry_status::kSuccess;

// The predefined hives and the names their files and sections carry.
std::optional<std::string_view> HiveName(std::int32_t hive) {
  switch (static_cast<std::uint32_t>(hive)) {
    case 0x80000000u:
      return "HKEY_CLASSES_ROOT";
    case 0x80000001u:
      return "HKEY_CURRENT_USER";
    case 0x80000002u:
      return "HKEY_LOCAL_MACHINE";
    case 0x80000003u:
      return "HKEY_USERS";
    case 0x80000005u:
      return "HKEY_CURRENT_CONFIG";
    default:
      return std::nullopt;
  }
}

// The hive a handle names, when it is one of the predefined (sign-extended) values.
std::optional<std::int32_t> AsHive(RegistryKey key) {
  const auto value = static_cast<std::int64_t>(key);
  if (!std::in_range<std::int32_t>(value)) return std::nullopt;
  const auto hive = static_cast<std::int32_t>(value);
  return HiveName(hive) ? std::optional(hive) : std::nullopt;
}

}  // namespace

std::string RegFileRegistry::DefaultFolder() {
  const char* configured = std::getenv("VELDRASK_REGISTRY");
  if (configured != nullptr && *configured != '\0') return configured;
  return ConfigFolder() + "/veldrask";
}

RegFileRegistry::RegFileRegistry() : RegFileRegistry(DefaultFolder()) {}

RegFileRegistry::RegFileRegistry(std::string folder) : folder_(std::move(folder)) {}

std::optional<RegFileRegistry::KeyLocation> RegFileRegistry::Resolve(RegistryKey key) {
  if (const std::optional<std::int32_t> hive = AsHive(key)) {
    std::unique_ptr<RegHiveFile>& file = hives_[*hive];
    if (!file) {
      file = std::make_unique<RegHiveFile>(
          folder_, std::string(*HiveName(*hive)),
          [this](const std::string& kept) {
            if (onDamagedKept_) onDamagedKept_(kept);
          },
          [this](const std::string& path, int error) {
            if (onWriteFailed_) onWriteFailed_(path, error);
          });
    }
    return KeyLocation{file.get(), ""};
  }
  const auto found = handles_.find(key);
  if (found == handles_.end()) return std::nullopt;
  return found->second;
}

RegistryKey RegFileRegistry::NewHandle(KeyLocation location) {
  const RegistryKey handle = nextHandle_;
  nextHandle_ += 4;
  handles_.emplace(handle, std::move(location));
  return handle;
}

std::int32_t RegFileRegistry::CreateKey(RegistryKey parent, std::string_view path,
                                        RegistryKey& key) {
  key = kNullKey;
  const std::optional<KeyLocation> base = Resolve(parent);
  if (!base) return kInvalidHandle;
  if (!IsStorableName(path)) return kInvalidParameter;
  KeyLocation location{base->hive, JoinKeyPath(base->path, path)};
  if (!IsWithinKeyLimits(location.path)) return kInvalidParameter;
  // An existing key opens without a write, so reading keys works in a read-only folder.
  if (!location.hive->Read().HasKey(location.path)) {
    const std::int32_t status = location.hive->Modify([&](RegTree& tree) {
      tree.CreateKey(location.path);
      return kSuccess;
    });
    if (status != kSuccess) return status;
  }
  key = NewHandle(std::move(location));
  return kSuccess;
}

std::int32_t RegFileRegistry::OpenKey(RegistryKey parent, std::string_view path, RegistryKey& key) {
  key = kNullKey;
  const std::optional<KeyLocation> base = Resolve(parent);
  if (!base) return kInvalidHandle;
  KeyLocation location{base->hive, JoinKeyPath(base->path, path)};
  if (!location.hive->Read().HasKey(location.path)) return kNotFound;
  key = NewHandle(std::move(location));
  return kSuccess;
}

std::int32_t RegFileRegistry::CloseKey(RegistryKey key) {
  if (AsHive(key)) return kSuccess;
  return handles_.erase(key) > 0 ? kSuccess : kInvalidHandle;
}

std::int32_t RegFileRegistry::SetValue(RegistryKey key, std::string_view name, std::uint32_t type,
                                       std::span<const std::byte> data) {
  const std::optional<KeyLocation> location = Resolve(key);
  if (!location) return kInvalidHandle;
  if (!IsStorableName(name)) return kInvalidParameter;
  RegValue value{std::string(name), type, std::vector<std::byte>(data.begin(), data.end())};
  return location->hive->Modify([&](RegTree& tree) {
    // The key may have been deleted by another process since it was opened.
    return tree.SetValue(location->path, std::move(value)) ? kSuccess : kNotFound;
  });
}

std::int32_t RegFileRegistry::QueryValue(RegistryKey key, std::string_view name,
                                         std::uint32_t& type, std::uint32_t& size,
                                         std::byte* data) {
  const std::optional<KeyLocation> location = Resolve(key);
  if (!location) return kInvalidHandle;
  const RegValue* value = location->hive->Read().FindValue(location->path, name);
  if (value == nullptr) return kNotFound;
  type = value->type;
  const auto needed = static_cast<std::uint32_t>(value->data.size());
  const std::uint32_t room = size;
  size = needed;
  if (data == nullptr) return kSuccess;
  if (room < needed) return kMoreData;
  std::copy(value->data.begin(), value->data.end(), data);
  return kSuccess;
}

std::int32_t RegFileRegistry::DeleteKey(RegistryKey parent, std::string_view subkey) {
  const std::optional<KeyLocation> base = Resolve(parent);
  if (!base) return kInvalidHandle;
  const std::string path = JoinKeyPath(base->path, subkey);
  // Neither a hive nor the parent itself (an empty subkey) is deleted through this call.
  if (NormalizeKeyPath(subkey).empty()) return kAccessDenied;
  // Checked before locking too, so that the answer does not depend on the folder's rights.
  const RegTree& current = base->hive->Read();
  if (!current.HasKey(path)) return kNotFound;
  if (current.HasSubkeys(path)) return kAccessDenied;
  return base->hive->Modify([&](RegTree& tree) {
    if (!tree.HasKey(path)) return kNotFound;
    if (tree.HasSubkeys(path)) return kAccessDenied;
    tree.DeleteKey(path);
    return kSuccess;
  });
}

std::int32_t RegFileRegistry::DeleteValue(RegistryKey key, std::string_view name) {
  const std::optional<KeyLocation> location = Resolve(key);
  if (!location) return kInvalidHandle;
  if (location->hive->Read().FindValue(location->path, name) == nullptr) return kNotFound;
  return location->hive->Modify(
      [&](RegTree& tree) { return tree.DeleteValue(location->path, name) ? kSuccess : kNotFound; });
}

}  // namespace veldrask::posix
