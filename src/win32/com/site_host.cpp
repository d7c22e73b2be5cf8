#include "win32/com/site_host.h"

#include <string>

#include "base/error.h"
#include "win32/com/bstr_text.h"

namespace veldrask::com {
namespace {

// Calls a property of object by name: a get (result filled) or a put of value.
HRESULT CallByName(IDispatch* object, const wchar_t* name, WORD flags, VARIANT* value,
                   VARIANT* result) {
  DISPID id = DISPID_UNKNOWN;
  auto* names = const_cast<LPOLESTR>(name);
  HRESULT hr = object->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{value, value != nullptr ? &putId : nullptr, value != nullptr ? 1u : 0u,
                    value != nullptr ? 1u : 0u};
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr,
                        nullptr);
}

IDispatch* DocumentOfSite(IOleClientSite* site) {
  if (site == nullptr) return nullptr;
  IOleContainer* container = nullptr;
  if (FAILED(site->GetContainer(&container)) || container == nullptr) return nullptr;
  IDispatch* document = nullptr;
  if (FAILED(container->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&document)))) {
    document = nullptr;
  }
  container->Release();
  return document;
}

}  // namespace

SiteHost::SiteHost(const win32::ComPtr<IOleClientSite>& site, ConnectionPoint& notifications,
                   ITypeInfo& typeInfo)
    : site_(site), notifications_(notifications), typeInfo_(typeInfo) {}

SiteHost::~SiteHost() {
  if (document_ != nullptr) document_->Release();
}

void SiteHost::PropertyChanged(std::string_view name) {
  std::wstring wide = WideFromUtf8(name);
  LPOLESTR names = wide.data();
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(typeInfo_.GetIDsOfNames(&names, 1, &id))) return;
  for (IUnknown* sink : notifications_.Sinks()) {
    static_cast<IPropertyNotifySink*>(sink)->OnChanged(id);
    sink->Release();
  }
}

Document* SiteHost::HostDocument() {
  if (document_ != nullptr) document_->Release();
  document_ = DocumentOfSite(site_.Get());
  return document_ != nullptr ? this : nullptr;
}

std::string SiteHost::Cookie() {
  VARIANT cookie;
  VariantInit(&cookie);
  if (document_ == nullptr ||
      FAILED(CallByName(document_, L"cookie", DISPATCH_PROPERTYGET, nullptr, &cookie))) {
    throw Error(ErrorNumber::kObjectRequired);
  }
  std::string text;
  if (SUCCEEDED(VariantChangeType(&cookie, &cookie, 0, VT_BSTR))) {
    text = Utf8FromBstr(cookie.bstrVal);
  }
  VariantClear(&cookie);
  return text;
}

void SiteHost::SetLocation(const std::string& url) {
  VARIANT location;
  VariantInit(&location);
  if (document_ == nullptr ||
      FAILED(CallByName(document_, L"location", DISPATCH_PROPERTYGET, nullptr, &location)) ||
      location.vt != VT_DISPATCH || location.pdispVal == nullptr) {
    VariantClear(&location);
    throw Error(ErrorNumber::kObjectRequired);
  }
  VARIANT href;
  VariantInit(&href);
  href.vt = VT_BSTR;
  href.bstrVal = BstrFromUtf8(url);
  const HRESULT hr = CallByName(location.pdispVal, L"href", DISPATCH_PROPERTYPUT, &href, nullptr);
  VariantClear(&href);
  VariantClear(&location);
  if (FAILED(hr)) throw Error(ErrorNumber::kObjectRequired);
}

}  // namespace veldrask::com
