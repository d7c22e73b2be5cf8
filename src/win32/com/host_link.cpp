// IUploaderHostLink: the exchanges followed, the TLS trust and the request options set by a
// host in this process.

#include "win32/com/host_link.h"

#include "win32/com/control_platform.h"
#include "win32/com/sink_observer.h"
#include "win32/com/uploader_object.h"
#include "win32/tls_trust.h"

namespace veldrask::com {

HRESULT UploaderObject::FollowExchanges(IUploaderExchangeSink* sink) {
  if (!control_) return E_UNEXPECTED;
  control_->SetExchangeObserver(nullptr);
  hostObserver_.reset();
  if (sink == nullptr) return S_OK;
  hostObserver_ = std::make_unique<SinkObserver>(sink);
  control_->SetExchangeObserver(hostObserver_.get());
  return S_OK;
}

HRESULT UploaderObject::AddTrustedRoots(const char* pem, ULONG length) {
  if (pem == nullptr) return E_POINTER;
  if (!platform_) return E_UNEXPECTED;
  return platform_->Trust().AddRoots(std::string_view(pem, length)) > 0 ? S_OK : E_INVALIDARG;
}

HRESULT UploaderObject::CheckCertificates(BOOL check) {
  if (!platform_) return E_UNEXPECTED;
  platform_->Trust().SetCheckCertificates(check != FALSE);
  return S_OK;
}

HRESULT UploaderObject::SetHostOptions(const HostRequestOptions* plain) {
  if (plain == nullptr) return E_POINTER;
  if (!control_) return E_UNEXPECTED;
  HostOptions options;
  if (plain->fileFieldName != nullptr) {
    options.fileFieldName = std::string(plain->fileFieldName, plain->fileFieldNameLength);
  }
  std::string_view lines(plain->extraHeaders == nullptr ? "" : plain->extraHeaders,
                         plain->extraHeaders == nullptr ? 0 : plain->extraHeadersLength);
  while (!lines.empty()) {
    const std::size_t end = lines.find("\r\n");
    options.extraHeaders.emplace_back(lines.substr(0, end));
    lines.remove_prefix(end == std::string_view::npos ? lines.size() : end + 2);
  }
  options.keepGoing = plain->keepGoing != FALSE;
  options.redirectLimit = plain->redirectLimit;
  control_->SetHostOptions(options);
  return S_OK;
}

}  // namespace veldrask::com
