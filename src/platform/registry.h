#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace veldrask {

// Registry status codes: the platform's result codes, never exceptions.
namespace registry_status {
inline constexpr std::int32_t kSuccess = 0;
inline constexpr std::int32_t kNotFound = 2;
inline constexpr std::int32_t kAccessDenied = 5;
inline constexpr std::int32_t kInvalidHandle = 6;
inline constexpr std::int32_t kMoreData = 234;
}  // namespace registry_status

// Value types.
namespace registry_type {
inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kString = 1;        // REG_SZ
inline constexpr std::uint32_t kExpandString = 2;  // REG_EXPAND_SZ
inline constexpr std::uint32_t kBinary = 3;
inline constexpr std::uint32_t kDword = 4;
inline constexpr std::uint32_t kMultiString = 7;
}  // namespace registry_type

// A key handle. 0 is the null handle. The predefined hives are the 32-bit signed hive
// values sign-extended (HKEY_LOCAL_MACHINE, 0x80000002, written -2147483646 by a script).
using RegistryKey = std::uint64_t;
inline constexpr RegistryKey kNullKey = 0;
inline RegistryKey HiveKey(std::int32_t hive) {
  return static_cast<RegistryKey>(static_cast<std::int64_t>(hive));
}
inline constexpr std::int32_t kClassesRoot = static_cast<std::int32_t>(0x80000000u);
inline constexpr std::int32_t kCurrentUser = static_cast<std::int32_t>(0x80000001u);
inline constexpr std::int32_t kLocalMachine = static_cast<std::int32_t>(0x80000002u);

// The registry's ANSI interface: key paths and value names are bytes of the ANSI code page
// (the core converts), values are bytes with a type.
class Registry {
 public:
  virtual ~Registry() = default;

  // Creates the key path under parent (intermediate keys too) or opens it when it exists.
  virtual std::int32_t CreateKey(RegistryKey parent, std::string_view path, RegistryKey& key) = 0;
  // Opens an existing key.
  virtual std::int32_t OpenKey(RegistryKey parent, std::string_view path, RegistryKey& key) = 0;
  virtual std::int32_t CloseKey(RegistryKey key) = 0;

  virtual std::int32_t SetValue(RegistryKey key, std::string_view name, std::uint32_t type,
                                std::span<const std::byte> data) = 0;
  // Gives the value's type and size in bytes; when data is not null, also reads at most
  // size bytes into it (kMoreData when the value is longer).
  virtual std::int32_t QueryValue(RegistryKey key, std::string_view name, std::uint32_t& type,
                                  std::uint32_t& size, std::byte* data) = 0;

  // Deletes the subkey directly under parent; refused while it has subkeys.
  virtual std::int32_t DeleteKey(RegistryKey parent, std::string_view subkey) = 0;
  virtual std::int32_t DeleteValue(RegistryKey key, std::string_view name) = 0;
};

}  // namespace veldrask
