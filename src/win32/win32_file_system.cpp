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
  HANDLE Handle() const { return file_.Get(); }

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

// Writes go straight to the handle, so a full disk is reported by the Write that hits it. A
// durable file is on disk when Close returns.
class HandleOutputFile : public OutputFile {
 public:
  HandleOutputFile(HANDLE handle, bool durable) : file_(handle), durable_(durable) {}

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
    if (durable_ && file_.Valid() && !FlushFileBuffers(file_.Get())) {
      const DWORD error = GetLastError();
      file_.Close();
      throw FileError(error);
    }
    if (!file_.Close()) throw FileError(GetLastError());
  }

 private:
  FileHandle file_;
  bool durable_;
};

HANDLE OpenOrRaise(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
  CheckPathName(path);
  const HANDLE handle = CreateFileW(SystemPath(path).c_str(), access, share, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw FileError(GetLastError());
  return handle;
}

// Whether some handle, in any process, has the file open: an open that shares nothing fails
// with a sharing violation then.
bool OpenElsewhere(const std::wstring& path) {
  FileHandle probe(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  return !probe.Valid() && GetLastError() == ERROR_SHARING_VIOLATION;
}

std::int64_t SecondsSince(const FILETIME& time) {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  const auto ticks = [](const FILETIME& t) {
    return static_cast<std::int64_t>((std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime);
  };
  return std::max<std::int64_t>(0, (ticks(now) - ticks(time)) / 10'000'000);  // 100 ns ticks
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
  auto input = std::make_unique<HandleInputFile>(OpenOrRaise(
      path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING));
  // A device name (CON, COM1, a pipe) opens as well, and reading it can wait for ever: only a
  // file on disk is read.
  if (GetFileType(input->Handle()) != FILE_TYPE_DISK) throw Error(ErrorNumber::kPathFileAccess);
  return input;
}

std::unique_ptr<OutputFile> Win32FileSystem::OpenWrite(const std::string& path) {
  return std::make_unique<HandleOutputFile>(
      OpenOrRaise(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS), false);
}

std::unique_ptr<OutputFile> Win32FileSystem::CreateExclusive(const std::string& path) {
  // Not shared for deleting: while it is open nobody removes it, and ListFiles sees it in use.
  // Shared for writing, so its times can still be set from outside.
  return std::make_unique<HandleOutputFile>(
      OpenOrRaise(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, CREATE_NEW), true);
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

void Win32FileSystem::RenameExclusive(const std::string& from, const std::string& to) {
  CheckPathName(from);
  CheckPathName(to);
  if (!MoveFileExW(SystemPath(from).c_str(), SystemPath(to).c_str(), MOVEFILE_COPY_ALLOWED)) {
    throw FileError(GetLastError());
  }
}

std::vector<FolderFile> Win32FileSystem::ListFiles(const std::string& folder,
                                                   std::string_view prefix) {
  CheckPathName(folder);
  std::string pattern = folder;
  if (pattern.empty() || pattern.back() != '\\') pattern += '\\';
  const std::wstring base = SystemPath(pattern);
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileExW((base + Widen(prefix) + L"*").c_str(), FindExInfoBasic,
                                         &found, FindExSearchNameMatch, nullptr, 0);
  std::vector<FolderFile> files;
  if (search == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return files;
    throw FileError(error);
  }
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    files.push_back({Narrow(found.cFileName), SecondsSince(found.ftLastWriteTime),
                     OpenElsewhere(base + found.cFileName)});
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return files;
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
