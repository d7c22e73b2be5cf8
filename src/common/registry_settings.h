#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/code_page.h"
#include "platform/registry.h"

namespace veldrask {

// Where the control keeps its download folder.
inline constexpr std::string_view kSettingsKeyPath = "Software\\VELDRASKUpDownloader";
inline constexpr std::string_view kDownPathValueName = "DownPath";

// The registry methods of the control and its internal string read. Texts cross to the
// registry in the ANSI code page; failures are status codes, never errors.
class RegistrySettings {
 public:
  RegistrySettings(Registry& registry, const CodePage& ansi) : registry_(registry), ansi_(ansi) {}

  // Creates or opens strPath under hKey and sets strValueName to strData as a string value
  // with its terminating NUL; the status of the set.
  std::int32_t SaveString(std::int32_t hKey, std::string_view strPath,
                          std::string_view strValueName, std::string_view strData);
  // Deletes strKey directly under hKey.
  std::int32_t DeleteKey(std::int32_t hKey, std::string_view strKey);
  // Deletes strValueName of the existing key strPath under hKey.
  std::int32_t DeleteValue(std::int32_t hKey, std::string_view strPath,
                           std::string_view strValueName);
  // The text of a string value up to its first NUL; empty for a missing key or value, a
  // value of another type or a failed read.
  std::string ReadString(std::int32_t hive, std::string_view keyPath, std::string_view valueName);

 private:
  Registry& registry_;
  const CodePage& ansi_;
};

}  // namespace veldrask
