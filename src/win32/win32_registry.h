#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/registry.h"

namespace veldrask::win32 {

// The system registry through its ANSI calls (key paths and value names are bytes of the ANSI
// code page, as the core hands them over); every status is the system's own. A key is opened
// for reading and writing, or for reading alone where writing is not allowed, so that a value
// can still be read there and a write reports "access denied" when it is attempted.
class Win32Registry : public Registry {
 public:
  std::int32_t CreateKey(RegistryKey parent, std::string_view path, RegistryKey& key) override;
  std::int32_t OpenKey(RegistryKey parent, std::string_view path, RegistryKey& key) override;
  std::int32_t CloseKey(RegistryKey key) override;

  std::int32_t SetValue(RegistryKey key, std::string_view name, std::uint32_t type,
                        std::span<const std::byte> data) override;
  std::int32_t QueryValue(RegistryKey key, std::string_view name, std::uint32_t& type,
                          std::uint32_t& size, std::byte* data) override;

  std::int32_t DeleteKey(RegistryKey parent, std::string_view subkey) override;
  std::int32_t DeleteValue(RegistryKey key, std::string_view name) override;
};

}  // namespace veldrask::win32
