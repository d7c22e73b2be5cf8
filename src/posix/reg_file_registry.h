#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "platform/registry.h"
#include "posix/reg_hive_file.h"

namespace veldrask::posix {

// The registry kept in REGEDIT4 .reg files, one per hive (HKEY_LOCAL_MACHINE.reg, ...), with
// the status codes and rules of the Win32 registry calls: key paths and value names ignore
// ASCII case, CreateKey makes the keys above too, a key with subkeys cannot be deleted.
// Several processes may use the same folder at once; every call sees the others' writes.
class RegFileRegistry : public Registry {
 public:
  // A key or value name holding a line break or a NUL, which the file cannot store, and a key
  // past the registry's limits (a name over 255 characters, more than 512 levels): the
  // platform's invalid-parameter code, which its registry gives for a name too long.
  static constexpr std::int32_t kInvalidParameter = 87;

  // The folder named by VELDRASK_REGISTRY, else $XDG_CONFIG_HOME/veldrask (by default
  // ~/.config/veldrask). It is created at the first write.
  static std::string DefaultFolder();

  RegFileRegistry();
  explicit RegFileRegistry(std::string folder);

  // fn is told the path of each hive file kept aside because it held lines that could not be
  // read, just before a write replaces it (see RegHiveFile).
  void SetOnDamagedHiveKept(RegHiveFile::DamagedKept fn) { onDamagedKept_ = std::move(fn); }
  // fn is told of each change that could not be stored (a full disk, a folder that cannot be
  // written): the calls give only status 5, which the control's own callers do not look at.
  void SetOnHiveWriteFailed(RegHiveFile::WriteFailed fn) { onWriteFailed_ = std::move(fn); }

  std::int32_t CreateKey(RegistryKey parent, std::string_view path, RegistryKey& key) override;
  std::int32_t OpenKey(RegistryKey parent, std::string_view path, RegistryKey& key) override;
  std::int32_t CloseKey(RegistryKey key) override;

  std::int32_t SetValue(RegistryKey key, std::string_view name, std::uint32_t type,
                        std::span<const std::byte> data) override;
  std::int32_t QueryValue(RegistryKey key, std::string_view name, std::uint32_t& type,
                          std::uint32_t& size, std::byte* data) override;

  std::int32_t DeleteKey(RegistryKey parent, std::string_view subkey) override;
  std::int32_t DeleteValue(RegistryKey key, std::string_view name) override;

 private:
  // What a handle stands for: a key path within a hive file ("" for the hive itself).
  struct KeyLocation {
    RegHiveFile* hive = nullptr;
    std::string path;
  };

  std::optional<KeyLocation> Resolve(RegistryKey key);
  RegistryKey NewHandle(KeyLocation location);

  std::string folder_;
  RegHiveFile::DamagedKept onDamagedKept_;
  RegHiveFile::WriteFailed onWriteFailed_;
  std::map<std::int32_t, std::unique_ptr<RegHiveFile>> hives_;
  std::map<RegistryKey, KeyLocation> handles_;
  RegistryKey nextHandle_ = 0x1000;
};

}  // namespace veldrask::posix
