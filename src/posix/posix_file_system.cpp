#include "posix/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "posix/posix_file_error.h"
#include "posix/unique_fd.h"
#include "posix/user_folders.h"

namespace veldrask::posix {
namespace {

class FdInputFile : public InputFile {
 public:
  FdInputFile(UniqueFd fd, std::string path) : fd_(std::move(fd)), path_(std::move(path)) {}

  std::size_t Read(std::span<std::byte> buffer) override {
    for (;;) {
      const ssize_t count = ::read(fd_.Get(), buffer.data(), buffer.size());
      if (count >= 0) return static_cast<std::size_t>(count);
      if (errno != EINTR) throw FileError(errno, path_);
    }
  }

 private:
  UniqueFd fd_;
  std::string path_;
};

// Writes go straight to the descriptor: nothing is held back in a user-space buffer, so a full
// disk is reported by the Write that hits it.
class FdOutputFile : public OutputFile {
 public:
  // durable: Close waits until the data is on disk.
  FdOutputFile(UniqueFd fd, std::string path, bool durable = false)
      : fd_(std::move(fd)), path_(std::move(path)), durable_(durable) {}

  void Write(std::span<const std::byte> data) override {
    if (!fd_.Valid()) throw Error(ErrorNumber::kBadFileName);
    while (!data.empty()) {
      const ssize_t count = ::write(fd_.Get(), data.data(), data.size());
      if (count < 0) {
        if (errno == EINTR) continue;
        throw FileError(errno, path_);
      }
      data = data.subspan(static_cast<std::size_t>(count));
    }
  }

  // Network file systems report some write failures only at close.
  void Close() override {
    if (!fd_.Valid()) return;
    if (durable_ && ::fdatasync(fd_.Get()) != 0 && errno != EINVAL) {
      const int error = errno;
      fd_.Close();
      throw FileError(error, path_);
    }
    if (fd_.Close() != 0 && errno != EINTR) throw FileError(errno, path_);
  }

 private:
  UniqueFd fd_;
  std::string path_;
  bool durable_;
};

UniqueFd OpenOrRaise(const std::string& path, int flags) {
  CheckPathName(path);
  for (;;) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    if (fd >= 0) return UniqueFd(fd);
    if (errno != EINTR) throw FileError(errno, path);
  }
}

std::unique_ptr<OutputFile> OpenOutput(const std::string& path, int flags) {
  return std::make_unique<FdOutputFile>(OpenOrRaise(path, O_WRONLY | O_CREAT | flags), path);
}

struct stat StatOrRaise(const std::string& path) {
  CheckPathName(path);
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) throw FileError(errno, path);
  return status;
}

bool StatIf(const std::string& path, struct stat& status) {
  return !path.empty() && path.find('\0') == std::string::npos &&
         ::stat(path.c_str(), &status) == 0;
}

// Takes the file's flock, waiting out a lister that holds it for a moment.
void LockOrRaise(const UniqueFd& fd, int operation, const std::string& path) {
  while (::flock(fd.Get(), operation) != 0) {
    if (errno != EINTR) throw FileError(errno, path);
  }
}

// Whether a live CreateExclusive holds the file: its flock is taken.
bool HeldByWriter(const std::string& path) {
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!fd.Valid()) return false;
  return ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

std::int64_t SecondsSince(const timespec& then) {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<std::int64_t>(now.tv_sec - then.tv_sec);
}

bool IsHiddenName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  return nameStart < path.size() && path[nameStart] == '.';
}

}  // namespace

std::string PosixFileSystem::DefaultDownloadFolder() const {
  return HomeFolder() + "/Download";
}

std::string PosixFileSystem::TempFolder() const {
  const char* variable = std::getenv("TMPDIR");
  std::string folder = variable != nullptr && *variable != '\0' ? variable : "/tmp";
  if (folder.back() != '/') folder += '/';
  return folder;
}

std::int64_t PosixFileSystem::FileSize(const std::string& path) {
  const struct stat status = StatOrRaise(path);
  if (S_ISDIR(status.st_mode)) throw FileError(EISDIR, path);
  return static_cast<std::int64_t>(status.st_size);
}

std::unique_ptr<InputFile> PosixFileSystem::OpenRead(const std::string& path) {
  // Not blocking: a FIFO put where the file was measured would hold a plain open until some
  // writer came, past every time limit and signal. Only a regular file is read, so a folder
  // (which opens for reading on POSIX) is refused here too rather than at the first Read.
  UniqueFd fd = OpenOrRaise(path, O_RDONLY | O_NONBLOCK);
  struct stat status {};
  if (::fstat(fd.Get(), &status) != 0) throw FileError(errno, path);
  if (!S_ISREG(status.st_mode)) throw FileError(EISDIR, path);
  const int flags = ::fcntl(fd.Get(), F_GETFL);
  if (flags < 0 || ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
    throw FileError(errno, path);
  }
  return std::make_unique<FdInputFile>(std::move(fd), path);
}

std::unique_ptr<OutputFile> PosixFileSystem::OpenWrite(const std::string& path) {
  return OpenOutput(path, O_TRUNC);
}

// The flock marks the file in use for ListFiles in any process, and goes with the writer even
// when it is killed. A lister that found the file before the lock was taken may have removed
// it meanwhile: the name is then free again and the file is made anew.
std::unique_ptr<OutputFile> PosixFileSystem::CreateExclusive(const std::string& path) {
  for (;;) {
    UniqueFd fd = OpenOrRaise(path, O_WRONLY | O_CREAT | O_EXCL);
    LockOrRaise(fd, LOCK_EX, path);
    struct stat status {};
    if (::fstat(fd.Get(), &status) != 0) throw FileError(errno, path);
    if (status.st_nlink > 0) return std::make_unique<FdOutputFile>(std::move(fd), path, true);
  }
}

void PosixFileSystem::Delete(const std::string& path) {
  CheckPathName(path);
  if (::unlink(path.c_str()) != 0) throw FileError(errno, path);
}

void PosixFileSystem::Rename(const std::string& from, const std::string& to) {
  CheckPathName(from);
  CheckPathName(to);
  if (::rename(from.c_str(), to.c_str()) == 0) return;
  const int error = errno;
  // ENOENT may mean a missing source or a missing target folder: name the one that is.
  struct stat status {};
  const bool sourceExists = ::lstat(from.c_str(), &status) == 0;
  throw FileError(error, sourceExists ? to : from);
}

void PosixFileSystem::RenameExclusive(const std::string& from, const std::string& to) {
  CheckPathName(from);
  CheckPathName(to);
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return;
  // File systems without the flag: a hard link claims the name just as atomically.
  if (errno == EINVAL || errno == ENOSYS) {
    if (::link(from.c_str(), to.c_str()) != 0) throw FileError(errno, to);
    ::unlink(from.c_str());
    return;
  }
  const int error = errno;
  struct stat status {};
  const bool sourceExists = ::lstat(from.c_str(), &status) == 0;
  throw FileError(error, sourceExists ? to : from);
}

std::vector<FolderFile> PosixFileSystem::ListFiles(const std::string& folder,
                                                   std::string_view prefix) {
  CheckPathName(folder);
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.c_str()), ::closedir);
  if (!listing) throw FileError(errno, folder);
  std::vector<FolderFile> files;
  while (const dirent* entry = ::readdir(listing.get())) {
    const std::string name = entry->d_name;
    if (!name.starts_with(prefix)) continue;
    const std::string path = folder + (folder.ends_with('/') ? "" : "/") + name;
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) continue;
    files.push_back({.name = name,
                     .secondsSinceWrite = SecondsSince(status.st_mtim),
                     .inUse = HeldByWriter(path)});
  }
  return files;
}

bool PosixFileSystem::FileExists(const std::string& path) {
  struct stat status {};
  return StatIf(path, status) && S_ISREG(status.st_mode) && !IsHiddenName(path);
}

bool PosixFileSystem::FolderExists(const std::string& path) {
  struct stat status {};
  return StatIf(path, status) && S_ISDIR(status.st_mode);
}

void PosixFileSystem::CreateFolder(const std::string& path) {
  CheckPathName(path);
  if (::mkdir(path.c_str(), 0777) != 0) throw FileError(errno, path);
}

}  // namespace veldrask::posix
