#include "native_path.h"

#include <windows.h>

#include "download_folder.h"
#include "options.h"
#include "win32/wide_text.h"

namespace veldrask::host {
namespace {

// Wine's own export that maps a Unix path to the DOS name it shows programs; absent on
// Windows itself, where a leading "/" is the current drive's root as usual.
using DosFileName = WCHAR* (*)(const char*);

std::wstring WineDosName(const std::string& unixPath) {
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  const auto convert = reinterpret_cast<DosFileName>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_dos_file_name")));
  if (convert == nullptr) return {};
  WCHAR* dos = convert(unixPath.c_str());
  if (dos == nullptr) return {};
  std::wstring name(dos);
  HeapFree(GetProcessHeap(), 0, dos);
  return name;
}

std::wstring FullPath(const std::wstring& path) {
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  full.resize(length);
  return full;
}

}  // namespace

std::string NativePath(const std::string& argument) {
  std::wstring path;
  if (argument.starts_with('/')) path = WineDosName(argument);
  if (path.empty()) path = win32::Widen(argument);
  return win32::Narrow(FullPath(path));
}

std::string DialogPath(const std::string& argument) {
  if (argument.empty()) throw UsageError("upload: an empty FILE name");
  const std::string path = NativePath(argument);
  const std::wstring wide = win32::Widen(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    throw UsageError("upload: " + argument + ": no such file");
  }
  if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
    throw UsageError("upload: " + argument + ": not a plain file");
  }
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw UsageError("upload: " + argument + ": not readable");
  CloseHandle(file);
  return path;
}

std::string FolderPath(const std::string& argument) {
  if (argument.empty()) throw UsageError("--to: an empty folder name");
  std::string folder = NativePath(argument);
  // "C:\" keeps its separator; "C:\Download\" does not.
  while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  MakeDownloadFolder(std::filesystem::path(win32::Widen(folder)), folder);
  return folder;
}

}  // namespace veldrask::host
