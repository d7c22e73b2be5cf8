#include "posix/openssl_library.h"

#include "base/error.h"
#include "platform/tcp_socket.h"
#include "posix/shared_library.h"

namespace veldrask::posix {
namespace {

OpenSslLibrary Load() {
  try {
    // libcrypto comes with it; the lookups find the functions of both.
    const SharedLibrary shared("libssl.so.3", "보안 연결(TLS)에");
    OpenSslLibrary library{};
#define VELDRASK_OPENSSL_FIND(name) shared.Find(library.name, #name);
    VELDRASK_OPENSSL_FUNCTIONS(VELDRASK_OPENSSL_FIND)
#undef VELDRASK_OPENSSL_FIND
    return library;
  } catch (const LibraryUnloadable& error) {
    throw Error(socket_error::kSecureChannelFailed, error.what());
  }
}

}  // namespace

const OpenSslLibrary& OpenSsl() {
  static const OpenSslLibrary library = Load();
  return library;
}

}  // namespace veldrask::posix
