// IUploaderHostLink: the exchanges followed, the TLS trust and the request options set by a
// host in this process.

#include "win32/com/host_link.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "win32/com/control_platform.h"
#include "win32/com/sink_observer.h"
#include "win32/com/uploader_object.h"
#include "win32/tls_trust.h"

namespace veldrask::com {
namespace {

std::string Text(const char* text, ULONG length) {
  return text == nullptr ? std::string() : std::string(text, length);
}

// Lines each ended by CR LF.
std::vector<std::string> Lines(const char* text, ULONG length) {
  std::vector<std::string> lines;
  std::string_view rest(text == nullptr ? "" : text, text == nullptr ? 0 : length);
  while (!rest.empty()) {
    const std::size_t end = rest.find("\r\n");
    lines.emplace_back(rest.substr(0, end));
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 2);
  }
  return lines;
}

std::optional<ProxyPlace> ProxyOf(const HostProxy& plain) {
  if (plain.host == nullptr) return std::nullopt;
  return ProxyPlace{Text(plain.host, plain.hostLength), plain.port,
                    Text(plain.authorization, plain.authorizationLength)};
}

}  // namespace

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
  options.extraHeaders = Lines(plain->extraHeaders, plain->extraHeadersLength);
  options.keepGoing = plain->keepGoing != FALSE;
  options.redirectLimit = plain->redirectLimit;
  options.httpProxy = ProxyOf(plain->httpProxy);
  options.httpsProxy = ProxyOf(plain->httpsProxy);
  options.noProxy = Lines(plain->noProxy, plain->noProxyLength);
  control_->SetHostOptions(options);
  return S_OK;
}

}  // namespace veldrask::com
