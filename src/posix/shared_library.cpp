#include "posix/shared_library.h"

#include <dlfcn.h>

#include <utility>

namespace veldrask::posix {

SharedLibrary::SharedLibrary(const char* soname, std::string neededFor)
    : soname_(soname),
      neededFor_(std::move(neededFor)),
      handle_(dlopen(soname, RTLD_NOW | RTLD_LOCAL)) {
  if (handle_ == nullptr) RaiseUnloadable();
}

void* SharedLibrary::Symbol(const char* name) const {
  void* const symbol = dlsym(handle_, name);
  if (symbol == nullptr) RaiseUnloadable();
  return symbol;
}

void SharedLibrary::RaiseUnloadable() const {
  const char* const reason = dlerror();
  throw LibraryUnloadable(neededFor_ + " 필요한 " + soname_ +
                          "을(를) 불러올 수 없습니다: " + (reason != nullptr ? reason : "unknown"));
}

}  // namespace veldrask::posix
