#pragma once

// The page the control sits in, as its client site's container: IOleContainer, and IDispatch
// with the names a browser's document has for what the control reads and writes:
// document.cookie and document.location.href.

#include <oaidl.h>
#include <oleidl.h>
#include <windows.h>

#include <string>

#include "win32/com_ptr.h"
#include "win32/container/named_dispatch.h"

namespace veldrask::container {

// document.location: href to read and to set (the control navigates the page by it); its
// value, as in a browser, is href.
class PageLocation final : public NamedDispatch<> {
 public:
  const std::wstring& Href() const { return href_; }
  void SetHref(std::wstring href) { href_ = std::move(href); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) override;

 private:
  std::span<const std::wstring_view> Names() const override;

  std::wstring href_;
};

class PageDocument final : public NamedDispatch<IOleContainer> {
 public:
  PageDocument();

  const std::wstring& Cookie() const { return cookie_; }
  void SetCookie(std::wstring cookie) { cookie_ = std::move(cookie); }
  PageLocation& Location() { return *location_.Get(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
  // IParseDisplayName, IOleContainer: the page holds no linked objects.
  HRESULT STDMETHODCALLTYPE ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker**) override;
  HRESULT STDMETHODCALLTYPE EnumObjects(DWORD, IEnumUnknown**) override;
  HRESULT STDMETHODCALLTYPE LockContainer(BOOL) override;
  // IDispatch: cookie (get, put) and location (get; a put sets its href).
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) override;

 private:
  std::span<const std::wstring_view> Names() const override;

  std::wstring cookie_;
  win32::ComPtr<PageLocation> location_;
};

}  // namespace veldrask::container
