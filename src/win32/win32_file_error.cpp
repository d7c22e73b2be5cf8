#include "win32/win32_file_error.h"

#include "platform/file_system.h"
#include "win32/wide_text.h"
#include "win32/windows_api.h"

namespace veldrask::win32 {
namespace {

// Newer than the mingw-w64 headers.
constexpr DWORD kDiskQuotaExceeded = 1295;

// The longest name of one file or folder, in UTF-16 units.
constexpr std::size_t kLongestName = 255;

constexpr std::wstring_view kLongPathPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";

}  // namespace

Error FileError(unsigned long code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
      return Error(ErrorNumber::kFileNotFound);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY:
      return Error(ErrorNumber::kPathNotFound);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return Error(ErrorNumber::kPermissionDenied);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return Error(ErrorNumber::kFileAlreadyExists);
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
      return Error(ErrorNumber::kBadFileName);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case kDiskQuotaExceeded:
      return Error(ErrorNumber::kDiskFull);
    default:
      return Error(ErrorNumber::kPathFileAccess);
  }
}

void CheckPathName(const std::string& path) {
  veldrask::CheckPathName(path);
  // A name longer than file systems allow is a bad name, as ENAMETOOLONG is on POSIX (Wine
  // would call it missing).
  std::size_t componentStart = 0;
  const std::wstring wide = Widen(path);
  for (std::size_t i = 0; i <= wide.size(); ++i) {
    if (i < wide.size() && wide[i] != L'\\' && wide[i] != L'/') continue;
    if (i - componentStart > kLongestName) throw Error(ErrorNumber::kBadFileName);
    componentStart = i + 1;
  }
}

std::wstring SystemPath(const std::string& path) {
  std::wstring wide = Widen(path);
  if (wide.size() < MAX_PATH - 12 || wide.starts_with(kLongPathPrefix)) return wide;
  // "\\?\" turns off the system's own parsing: separators, "." and ".." are resolved first.
  const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return wide;
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return wide;
  full.resize(length);
  if (full.starts_with(L"\\\\")) return std::wstring(kLongUncPrefix) + full.substr(2);
  return std::wstring(kLongPathPrefix) + full;
}

}  // namespace veldrask::win32
