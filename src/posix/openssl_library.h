#pragma once

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

namespace veldrask::posix {

// The OpenSSL functions the TLS sockets call.
#define VELDRASK_OPENSSL_FUNCTIONS(X) \
  X(BIO_clear_flags)                  \
  X(BIO_get_data)                     \
  X(BIO_get_new_index)                \
  X(BIO_meth_new)                     \
  X(BIO_meth_set_ctrl)                \
  X(BIO_meth_set_read_ex)             \
  X(BIO_meth_set_write_ex)            \
  X(BIO_new)                          \
  X(BIO_set_data)                     \
  X(BIO_set_flags)                    \
  X(BIO_set_init)                     \
  X(ERR_clear_error)                  \
  X(ERR_peek_last_error)              \
  X(ERR_reason_error_string)          \
  X(SSL_CTX_ctrl)                     \
  X(SSL_CTX_free)                     \
  X(SSL_CTX_load_verify_dir)          \
  X(SSL_CTX_load_verify_file)         \
  X(SSL_CTX_new)                      \
  X(SSL_CTX_set_options)              \
  X(SSL_CTX_set_quiet_shutdown)       \
  X(SSL_CTX_set_verify)               \
  X(SSL_ctrl)                         \
  X(SSL_do_handshake)                 \
  X(SSL_free)                         \
  X(SSL_get0_param)                   \
  X(SSL_get_error)                    \
  X(SSL_get_ex_data)                  \
  X(SSL_get_verify_result)            \
  X(SSL_is_init_finished)             \
  X(SSL_new)                          \
  X(SSL_read_ex)                      \
  X(SSL_set1_host)                    \
  X(SSL_set_bio)                      \
  X(SSL_set_connect_state)            \
  X(SSL_set_ex_data)                  \
  X(SSL_set_msg_callback)             \
  X(SSL_write_ex)                     \
  X(TLS_client_method)                \
  X(X509_VERIFY_PARAM_set1_ip_asc)    \
  X(X509_get_default_cert_dir)        \
  X(X509_get_default_cert_dir_env)    \
  X(X509_get_default_cert_file)       \
  X(X509_get_default_cert_file_env)   \
  X(X509_verify_cert_error_string)

// OpenSSL's functions, from libssl loaded on first use: a program that makes no TLS
// connection never maps libssl and libcrypto, and does not pay at start for relocating them
// (about 1.7 MiB of resident memory). The header's macros that call these (SSL_set_app_data,
// SSL_set_tlsext_host_name, ...) are spelled out at the call.
struct OpenSslLibrary {
#define VELDRASK_OPENSSL_MEMBER(name) decltype(&::name) name;
  VELDRASK_OPENSSL_FUNCTIONS(VELDRASK_OPENSSL_MEMBER)
#undef VELDRASK_OPENSSL_MEMBER
};

// Loads the library on the first call. Raises Error (a failed secure channel) when it cannot.
const OpenSslLibrary& OpenSsl();

}  // namespace veldrask::posix
