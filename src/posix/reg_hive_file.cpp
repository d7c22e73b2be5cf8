#include "posix/reg_hive_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "posix/reg_file_format.h"
#include "posix/unique_fd.h"

namespace veldrask::posix {
namespace {

// A flock held on an open lock file until destruction.
class FileLock {
 public:
  // Exclusive locks create the lock file. A shared lock that cannot open it (a read-only
  // folder) is not held; reading stays consistent because writers replace the file whole.
  static FileLock Acquire(const std::string& path, bool exclusive) {
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0 && !exclusive) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    FileLock lock;
    if (fd < 0) return lock;
    UniqueFd owned(fd);
    while (::flock(owned.Get(), exclusive ? LOCK_EX : LOCK_SH) != 0) {
      if (errno != EINTR) return lock;
    }
    lock.fd_ = std::move(owned);
    return lock;
  }

  bool Held() const { return fd_.Valid(); }

 private:
  UniqueFd fd_;
};

bool MakeFolders(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string prefix = folder.substr(0, slash);
    if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat status {};
  return ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t count = ::write(fd, text.data(), text.size());
    if (count < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(count));
  }
  return true;
}

bool ReadAll(int fd, std::string& text) {
  char buffer[16384];
  for (;;) {
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count == 0) return true;
    if (count < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    text.append(buffer, static_cast<std::size_t>(count));
  }
}

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}  // namespace

bool RegHiveFile::Signature::operator==(const Signature& other) const {
  return device == other.device && inode == other.inode && size == other.size &&
         SameTime(modified, other.modified) && SameTime(changed, other.changed);
}

RegHiveFile::RegHiveFile(std::string folder, std::string hiveName, DamagedKept onDamagedKept,
                         WriteFailed onWriteFailed)
    : folder_(std::move(folder)),
      hiveName_(std::move(hiveName)),
      onDamagedKept_(std::move(onDamagedKept)),
      onWriteFailed_(std::move(onWriteFailed)) {
  while (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
  path_ = folder_ + "/" + hiveName_ + ".reg";
  lockPath_ = path_ + ".lock";
}

const RegTree& RegHiveFile::Read() {
  const FileLock lock = FileLock::Acquire(lockPath_, false);
  Refresh();
  return tree_;
}

bool RegHiveFile::Refresh() {
  Signature current;
  const UniqueFd fd(::open(path_.c_str(), O_RDONLY | O_CLOEXEC));
  const bool missing = !fd.Valid() && errno == ENOENT;
  struct stat status {};
  if (fd.Valid() && ::fstat(fd.Get(), &status) == 0) {
    current =
        Signature{status.st_dev, status.st_ino, status.st_size, status.st_mtim, status.st_ctim};
  }
  if (loaded_ && readable_ && current == signature_) return true;
  std::string text;
  readable_ = missing || (current.size >= 0 && ReadAll(fd.Get(), text));
  std::size_t unreadLines = 0;
  tree_ = readable_ ? ParseRegFile(text, hiveName_, &unreadLines) : RegTree();
  damagedText_ = unreadLines > 0 ? std::move(text) : std::string();
  signature_ = current;
  loaded_ = true;
  return readable_;
}

std::int32_t RegHiveFile::Modify(const std::function<std::int32_t(RegTree&)>& change) {
  if (!MakeFolders(folder_)) return Failed(folder_);
  const FileLock lock = FileLock::Acquire(lockPath_, true);
  if (!lock.Held()) return Failed(lockPath_);
  // A file that exists but cannot be read must not be replaced by one holding only the change.
  if (!Refresh()) return Failed(path_);
  RegTree changed = tree_;
  const std::int32_t status = change(changed);
  if (status != registry_status::kSuccess) return status;
  if (!damagedText_.empty() && !KeepDamaged()) return Failed(path_);
  if (!Store(changed)) return Failed(path_);
  return registry_status::kSuccess;
}

std::int32_t RegHiveFile::Failed(const std::string& path) {
  const int error = errno;
  if (onWriteFailed_) onWriteFailed_(path, error);
  return registry_status::kAccessDenied;
}

bool RegHiveFile::KeepDamaged() {
  char stamp[32];
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  ::gmtime_r(&now, &utc);
  std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &utc);
  const std::string base = path_ + ".damaged-" + stamp;
  for (int attempt = 1; attempt <= 100; ++attempt) {
    const std::string kept = attempt == 1 ? base : base + "-" + std::to_string(attempt);
    const UniqueFd fd(::open(kept.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!fd.Valid()) {
      if (errno == EEXIST) continue;
      return false;
    }
    if (!WriteAll(fd.Get(), damagedText_) || ::fdatasync(fd.Get()) != 0) {
      const int error = errno;  // for Failed
      ::unlink(kept.c_str());
      errno = error;
      return false;
    }
    damagedText_.clear();
    if (onDamagedKept_) onDamagedKept_(kept);
    return true;
  }
  return false;
}

bool RegHiveFile::Store(const RegTree& tree) {
  std::string temporary = path_ + ".XXXXXX";
  const UniqueFd fd(::mkostemp(temporary.data(), O_CLOEXEC));
  if (!fd.Valid()) return false;
  struct stat previous {};
  const mode_t mode = ::stat(path_.c_str(), &previous) == 0 ? (previous.st_mode & 07777) : 0600;
  // The data must be on disk before the rename makes it the file, or a crash could leave an
  // empty file in place of the old one.
  const bool written = WriteAll(fd.Get(), FormatRegFile(tree, hiveName_)) &&
                       ::fchmod(fd.Get(), mode) == 0 && ::fdatasync(fd.Get()) == 0 &&
                       ::rename(temporary.c_str(), path_.c_str()) == 0;
  if (!written) {
    const int error = errno;  // for Failed
    ::unlink(temporary.c_str());
    errno = error;
    return false;
  }
  tree_ = tree;
  readable_ = true;
  struct stat status {};
  if (::stat(path_.c_str(), &status) == 0) {
    signature_ =
        Signature{status.st_dev, status.st_ino, status.st_size, status.st_mtim, status.st_ctim};
  } else {
    loaded_ = false;
  }
  return true;
}

}  // namespace veldrask::posix
