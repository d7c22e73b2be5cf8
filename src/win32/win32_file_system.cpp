#include "win32/win32_file_system.h"

#include <algorithm>
#include <utility>

#include "win32/wide_text.h"
#include "win32/win32_file_error.h"
#include "win32/windows_api.h"

namespace veldrask::win32 {
namespace {

constexpr DWORD kLargestChunk = 1U << 30;

// Owns a file handle.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() { Close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  HANDLE Get() const { return handle_; }
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Close() {
    if (!Valid()) return true;
    return CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != 0;
  }

 private:
  HANDLE handle_;
};

DWORD ChunkSize(std::size_t size) {
  return static_cast<DWORD>(std::min<std::size_t>(size, kLargestChunk));
}

class HandleInputFile : public InputFile {
 public:
  explicit HandleInputFile(HANDLE handle) : file_(handle) {}

  std::size_t Read(std::span<std::byte> buffer) override {
    DWORD count = 0;
    if (!ReadFile(file_.Get(), buffer.data(), ChunkSize(buffer.size()), &count, nullptr)) {
      throw FileError(GetLastError());
    }
    return count;
  }

 private:
  FileHandle file_;
};

// Writes go straight to the handle, so a full disk is reported by the Write that hits it.
class HandleOutputFile : public OutputFile {
 public:
  explicit HandleOutputFile(HANDLE handle) : file_(handle) {}

  void Write(std::span<const std::byte> data) override {
    if (!file_.Valid()) throw Error(ErrorNumber::kBadFileName);
    while (!data.empty()) {
      DWORD count = 0;
      if (!WriteFile(file_.Get(), data.data(), ChunkSize(data.size()), &count, nullptr)) {
        throw FileError(GetLastError());
      }
      data = data.subspan(count);
    }
  }

  void Close() override {
    if (!file_.Close()) throw FileError(GetLastError());
  }

 private:
  FileHandle file_;
};

HANDLE OpenOrRaise(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
  CheckPathName(path);
  const HANDLE handle = CreateFileW(SystemPath(path).c_str(), access, share, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw FileError(GetLastError());
  return handle;
}

bool AttributesIf(const std::string& path, DWORD& attributes) {
  if (path.empty() || path.find('\0') != std::string::npos) return false;
  attributes = GetFileAttributesW(SystemPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

std::string Win32FileSystem::TempFolder() const {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  std::string folder = length > 0 && length <= MAX_PATH ? Narrow({buffer, length}) : "C:\\";
  if (folder.back() != '\\') folder += '\\';
  return folder;
}

std::int64_t Win32FileSystem::FileSize(const std::string& path) {
  CheckPathName(path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(SystemPath(path).c_str(), GetFileExInfoStandard, &data)) {
    throw FileError(GetLastError());
  }
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    throw Error(ErrorNumber::kPathFileAccess);
  }
  return static_cast<std::int64_t>((std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow);
}

std::unique_ptr<InputFile> Win32FileSystem::OpenRead(const std::string& path) {
  // A folder is refused by CreateFileW as "access denied"; the control calls it what it is.
  if (FolderExists(path)) throw Error(ErrorNumber::kPathFileAccess);
  return std::make_unique<HandleInputFile>(OpenOrRaise(
      path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING));
}

std::unique_ptr<OutputFile> Win32FileSystem::OpenWrite(const std::string& path) {
  return std::make_unique<HandleOutputFile>(
      OpenOrRaise(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS));
}

std::unique_ptr<OutputFile> Win32FileSystem::CreateExclusive(const std::string& path) {
  return std::make_unique<HandleOutputFile>(
      OpenOrRaise(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW));
}

void Win32FileSystem::Delete(const std::string& path) {
  CheckPathName(path);
  if (!DeleteFileW(SystemPath(path).c_str())) throw FileError(GetLastError());
}

void Win32FileSystem::Rename(const std::string& from, const std::string& to) {
  CheckPathName(from);
  CheckPathName(to);
  if (!MoveFileExW(SystemPath(from).c_str(), SystemPath(to).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
    throw FileError(GetLastError());
  }
}

bool Win32FileSystem::FileExists(const std::string& path) {
  DWORD attributes = 0;
  constexpr DWORD kNotPlain =
      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return AttributesIf(path, attributes) && (attributes & kNotPlain) == 0;
}

bool Win32FileSystem::FolderExists(const std::string& path) {
  DWORD attributes = 0;
  return AttributesIf(path, attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void Win32FileSystem::CreateFolder(const std::string& path) {
  CheckPathName(path);
  if (!CreateDirectoryW(SystemPath(path).c_str(), nullptr)) throw FileError(GetLastError());
}

}  // namespace veldrask::win32
