#include "posix/tls_record_bio.h"

namespace veldrask::posix {
namespace {

TlsRecordChannel& ChannelOf(BIO* bio) {
  return *static_cast<TlsRecordChannel*>(OpenSsl().BIO_get_data(bio));
}

int WriteRecords(BIO* bio, const char* records, std::size_t length, std::size_t* written) {
  OpenSsl().BIO_clear_flags(bio, BIO_FLAGS_RWS | BIO_FLAGS_SHOULD_RETRY);
  if (!ChannelOf(bio).WriteRecords(std::as_bytes(std::span(records, length)))) return 0;
  *written = length;
  return 1;
}

int ReadRecords(BIO* bio, char* buffer, std::size_t length, std::size_t* read) {
  OpenSsl().BIO_clear_flags(bio, BIO_FLAGS_RWS | BIO_FLAGS_SHOULD_RETRY);
  *read = ChannelOf(bio).ReadRecords(std::as_writable_bytes(std::span(buffer, length)));
  if (*read > 0) return 1;
  // Nothing yet: TLS reports that it wants to read, and is called again when records came.
  OpenSsl().BIO_set_flags(bio, BIO_FLAGS_READ | BIO_FLAGS_SHOULD_RETRY);
  return 0;
}

long Control(BIO* /*bio*/, int command, long /*number*/, void* /*pointer*/) {
  // Records are handed on as they are written, so a flush has nothing left to do; every other
  // request (pending counts, end of file, kernel TLS) has the answer "none".
  return command == BIO_CTRL_FLUSH ? 1 : 0;
}

BIO_METHOD* MakeMethod() {
  const OpenSslLibrary& ssl = OpenSsl();
  const int index = ssl.BIO_get_new_index();
  // Never freed, as OpenSSL's own methods are not: every connection of the process uses it.
  BIO_METHOD* method =
      index > 0 ? ssl.BIO_meth_new(BIO_TYPE_SOURCE_SINK | index, "TLS records") : nullptr;
  if (method == nullptr || ssl.BIO_meth_set_write_ex(method, &WriteRecords) != 1 ||
      ssl.BIO_meth_set_read_ex(method, &ReadRecords) != 1 ||
      ssl.BIO_meth_set_ctrl(method, &Control) != 1) {
    return nullptr;
  }
  return method;
}

}  // namespace

BIO* NewTlsRecordBio(TlsRecordChannel& channel) {
  static BIO_METHOD* const method = MakeMethod();
  BIO* const bio = method != nullptr ? OpenSsl().BIO_new(method) : nullptr;
  if (bio == nullptr) return nullptr;
  OpenSsl().BIO_set_data(bio, &channel);
  OpenSsl().BIO_set_init(bio, 1);
  return bio;
}

}  // namespace veldrask::posix
