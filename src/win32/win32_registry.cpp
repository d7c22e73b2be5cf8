#include "win32/win32_registry.h"

#include <cstdint>
#include <limits>
#include <string>

#include "win32/windows_api.h"

namespace veldrask::win32 {
namespace {

// The seam's handles are the system's, sign-extended: the predefined hives (0x80000002, ...)
// have the same value on 32-bit and 64-bit builds.
HKEY ToHandle(RegistryKey key) {
  return reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(key));
}

RegistryKey FromHandle(HKEY handle) {
  return static_cast<RegistryKey>(
      static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(handle)));
}

// A name as a C string; a NUL inside would cut it short, so such a name is refused.
bool AsCString(std::string_view name, std::string& out) {
  if (name.find('\0') != std::string_view::npos) return false;
  out.assign(name);
  return true;
}

template <typename Open>
std::int32_t OpenWritableOrReadOnly(Open open) {
  LSTATUS status = open(KEY_READ | KEY_WRITE);
  if (status == ERROR_ACCESS_DENIED) status = open(KEY_READ);
  return static_cast<std::int32_t>(status);
}

}  // namespace

std::int32_t Win32Registry::CreateKey(RegistryKey parent, std::string_view path, RegistryKey& key) {
  std::string name;
  if (!AsCString(path, name)) return ERROR_INVALID_PARAMETER;
  HKEY handle = nullptr;
  const std::int32_t status = OpenWritableOrReadOnly([&](REGSAM access) {
    return RegCreateKeyExA(ToHandle(parent), name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           access, nullptr, &handle, nullptr);
  });
  key = status == ERROR_SUCCESS ? FromHandle(handle) : kNullKey;
  return status;
}

std::int32_t Win32Registry::OpenKey(RegistryKey parent, std::string_view path, RegistryKey& key) {
  std::string name;
  if (!AsCString(path, name)) return ERROR_INVALID_PARAMETER;
  HKEY handle = nullptr;
  const std::int32_t status = OpenWritableOrReadOnly([&](REGSAM access) {
    return RegOpenKeyExA(ToHandle(parent), name.c_str(), 0, access, &handle);
  });
  key = status == ERROR_SUCCESS ? FromHandle(handle) : kNullKey;
  return status;
}

std::int32_t Win32Registry::CloseKey(RegistryKey key) {
  return static_cast<std::int32_t>(RegCloseKey(ToHandle(key)));
}

std::int32_t Win32Registry::SetValue(RegistryKey key, std::string_view name, std::uint32_t type,
                                     std::span<const std::byte> data) {
  std::string valueName;
  if (!AsCString(name, valueName)) return ERROR_INVALID_PARAMETER;
  if (data.size() > std::numeric_limits<DWORD>::max()) return ERROR_INVALID_PARAMETER;
  return static_cast<std::int32_t>(RegSetValueExA(ToHandle(key), valueName.c_str(), 0, type,
                                                  reinterpret_cast<const BYTE*>(data.data()),
                                                  static_cast<DWORD>(data.size())));
}

std::int32_t Win32Registry::QueryValue(RegistryKey key, std::string_view name, std::uint32_t& type,
                                       std::uint32_t& size, std::byte* data) {
  std::string valueName;
  if (!AsCString(name, valueName)) return ERROR_INVALID_PARAMETER;
  DWORD valueType = REG_NONE;
  DWORD valueSize = data != nullptr ? size : 0;
  const LSTATUS status = RegQueryValueExA(ToHandle(key), valueName.c_str(), nullptr, &valueType,
                                          reinterpret_cast<BYTE*>(data), &valueSize);
  type = valueType;
  size = valueSize;
  return static_cast<std::int32_t>(status);
}

std::int32_t Win32Registry::DeleteKey(RegistryKey parent, std::string_view subkey) {
  std::string name;
  if (!AsCString(subkey, name)) return ERROR_INVALID_PARAMETER;
  return static_cast<std::int32_t>(RegDeleteKeyA(ToHandle(parent), name.c_str()));
}

std::int32_t Win32Registry::DeleteValue(RegistryKey key, std::string_view name) {
  std::string valueName;
  if (!AsCString(name, valueName)) return ERROR_INVALID_PARAMETER;
  return static_cast<std::int32_t>(RegDeleteValueA(ToHandle(key), valueName.c_str()));
}

}  // namespace veldrask::win32
