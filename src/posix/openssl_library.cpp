#include "posix/openssl_library.h"

#include <dlfcn.h>

#include <string>

#include "base/error.h"
#include "platform/tcp_socket.h"

namespace veldrask::posix {
namespace {

// libcrypto comes with it; dlsym on this handle finds the functions of both.
constexpr const char* kLibraryName = "libssl.so.3";

[[noreturn]] void RaiseUnloadable(const char* detail) {
  throw Error(socket_error::kSecureChannelFailed,
              std::string("보안 연결(TLS)에 필요한 ") + kLibraryName +
                  "을(를) 불러올 수 없습니다: " + (detail != nullptr ? detail : "unknown"));
}

OpenSslLibrary Load() {
  // Never closed: OpenSSL keeps state for the whole process.
  void* const handle = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) RaiseUnloadable(dlerror());
  OpenSslLibrary library{};
#define VELDRASK_OPENSSL_LOOKUP(name)                                       \
  library.name = reinterpret_cast<decltype(&::name)>(dlsym(handle, #name)); \
  if (library.name == nullptr) RaiseUnloadable(dlerror());
  VELDRASK_OPENSSL_FUNCTIONS(VELDRASK_OPENSSL_LOOKUP)
#undef VELDRASK_OPENSSL_LOOKUP
  return library;
}

}  // namespace

const OpenSslLibrary& OpenSsl() {
  static const OpenSslLibrary library = Load();
  return library;
}

}  // namespace veldrask::posix
