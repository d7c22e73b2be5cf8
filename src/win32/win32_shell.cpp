#include "win32/win32_shell.h"

// clang-format off
#include "win32/windows_api.h"
#include <shellapi.h>
// clang-format on

#include <memory>

#include "base/text.h"
#include "win32/wide_text.h"
#include "win32/win32_file_error.h"

namespace veldrask::win32 {

std::optional<FileInfo> Win32Shell::GetFileInfo(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) return std::nullopt;
  const std::wstring wide = SystemPath(path);
  const DWORD found = GetFileAttributesW(wide.c_str());
  if (found == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  const DWORD attributes =
      found & FILE_ATTRIBUTE_DIRECTORY ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
  // One query per icon size (the shell hands out one HICON per call); the type name comes with
  // the small one.
  SHFILEINFOW small{};
  constexpr UINT kIcon = SHGFI_USEFILEATTRIBUTES | SHGFI_ICON | SHGFI_SYSICONINDEX;
  if (SHGetFileInfoW(wide.c_str(), attributes, &small, sizeof small,
                     kIcon | SHGFI_TYPENAME | SHGFI_SMALLICON) == 0) {
    return std::nullopt;
  }
  FileInfo result;
  result.typeName = Narrow(small.szTypeName);
  result.smallIcon = SharedIcon(small.hIcon, small.iIcon, IconSize::kSmall);
  SHFILEINFOW large{};
  if (SHGetFileInfoW(wide.c_str(), attributes, &large, sizeof large, kIcon | SHGFI_LARGEICON) !=
      0) {
    result.largeIcon = SharedIcon(large.hIcon, large.iIcon, IconSize::kLarge);
  }
  return result;
}

Picture Win32Shell::SharedIcon(void* icon, int imageIndex, IconSize size) {
  if (icon == nullptr) return {};
  const auto key = std::make_pair(imageIndex, size);
  if (const auto it = icons_.find(key); it != icons_.end()) {
    DestroyIcon(static_cast<HICON>(icon));
    return it->second;
  }
  Picture picture;
  picture.name = "shell-icon:" + ToDecimal(imageIndex);
  picture.native = std::shared_ptr<const void>(
      icon, [](const void* handle) { DestroyIcon(static_cast<HICON>(const_cast<void*>(handle))); });
  icons_.emplace(key, picture);
  return picture;
}

bool Win32Shell::OpenFolder(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) return false;
  const std::wstring wide = Widen(path);
  const HINSTANCE result =
      ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  // Values above 32 mean success (the old HINSTANCE convention).
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace veldrask::win32
