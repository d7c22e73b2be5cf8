#include "posix/posix_file_error.h"

#include <sys/stat.h>

#include <cerrno>

namespace veldrask::posix {
namespace {

// A missing file and a missing folder are different errors to the user, but the system says
// ENOENT for both: the parent folder tells them apart.
bool ParentFolderExists(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return true;  // relative to the working folder
  const std::string parent = slash == 0 ? "/" : path.substr(0, slash);
  struct stat status {};
  return ::stat(parent.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

Error FileError(int errnoValue, const std::string& path) {
  switch (errnoValue) {
    case ENOENT:
      return Error(ParentFolderExists(path) ? ErrorNumber::kFileNotFound
                                            : ErrorNumber::kPathNotFound);
    case ENOTDIR:
    case ELOOP:
      return Error(ErrorNumber::kPathNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
      return Error(ErrorNumber::kPermissionDenied);
    case EEXIST:
      return Error(ErrorNumber::kFileAlreadyExists);
    case ENAMETOOLONG:
    case EINVAL:
      return Error(ErrorNumber::kBadFileName);
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return Error(ErrorNumber::kDiskFull);
    default:
      return Error(ErrorNumber::kPathFileAccess);
  }
}

}  // namespace veldrask::posix
