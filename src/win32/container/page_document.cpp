#include "win32/container/page_document.h"

#include <array>

#include "win32/container/named_dispatch.h"

namespace veldrask::container {
namespace {

constexpr std::array<std::wstring_view, 1> kLocationNames{L"href"};
constexpr DISPID kHref = 1;
constexpr std::array<std::wstring_view, 2> kDocumentNames{L"cookie", L"location"};
constexpr DISPID kCookie = 1;
constexpr DISPID kLocation = 2;

// The text a put carries, whatever its type (scripts may assign numbers).
HRESULT PutText(const DISPPARAMS* params, std::wstring& target) {
  const VARIANT* value = PutValue(params);
  if (value == nullptr) return DISP_E_BADPARAMCOUNT;
  VARIANT text;
  VariantInit(&text);
  const HRESULT converted = VariantChangeType(&text, const_cast<VARIANT*>(value), 0, VT_BSTR);
  if (FAILED(converted)) return DISP_E_TYPEMISMATCH;
  target.assign(text.bstrVal, SysStringLen(text.bstrVal));
  VariantClear(&text);
  return S_OK;
}

}  // namespace

HRESULT PageLocation::QueryInterface(REFIID id, void** object) {
  return win32::AnswerQuery(id, object, {{&IID_IDispatch, static_cast<IDispatch*>(this)}});
}

std::span<const std::wstring_view> PageLocation::Names() const {
  return kLocationNames;
}

HRESULT PageLocation::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                             VARIANT* result, EXCEPINFO*, UINT*) {
  if (id != kHref && id != DISPID_VALUE) return DISP_E_MEMBERNOTFOUND;
  if (flags & DISPATCH_PROPERTYPUT) return PutText(params, href_);
  return ReturnText(href_, result);
}

PageDocument::PageDocument() : location_(new PageLocation) {}

HRESULT PageDocument::QueryInterface(REFIID id, void** object) {
  return win32::AnswerQuery(id, object,
                            {{&IID_IOleContainer, static_cast<IOleContainer*>(this)},
                             {&IID_IParseDisplayName, static_cast<IParseDisplayName*>(this)},
                             {&IID_IDispatch, static_cast<IDispatch*>(this)}});
}

HRESULT PageDocument::ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker**) {
  return E_NOTIMPL;
}

HRESULT PageDocument::EnumObjects(DWORD, IEnumUnknown**) {
  return E_NOTIMPL;
}

HRESULT PageDocument::LockContainer(BOOL) {
  return S_OK;
}

std::span<const std::wstring_view> PageDocument::Names() const {
  return kDocumentNames;
}

HRESULT PageDocument::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                             VARIANT* result, EXCEPINFO*, UINT*) {
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  switch (id) {
    case kCookie:
      return put ? PutText(params, cookie_) : ReturnText(cookie_, result);
    case kLocation: {
      if (put) {
        std::wstring href;
        const HRESULT hr = PutText(params, href);
        if (SUCCEEDED(hr)) location_->SetHref(std::move(href));
        return hr;
      }
      if (result == nullptr) return S_OK;
      VariantInit(result);
      result->vt = VT_DISPATCH;
      result->pdispVal = location_.Get();
      location_->AddRef();
      return S_OK;
    }
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

}  // namespace veldrask::container
