// IUploaderHostLink: the exchanges followed and the TLS trust set by a host in this process.

#include "host_link.h"

#include "control_platform.h"
#include "sink_observer.h"
#include "uploader_object.h"
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

HRESULT UploaderObject::SetFileFieldName(const char* name, ULONG length) {
  if (!control_) return E_UNEXPECTED;
  control_->SetFileFieldName(
      name == nullptr ? std::nullopt : std::optional<std::string>(std::string(name, length)));
  return S_OK;
}

}  // namespace veldrask::com
