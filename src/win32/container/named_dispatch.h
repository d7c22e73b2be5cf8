#pragma once

// IDispatch by names for the container's small script objects (the document, its location):
// a fixed list of names, ids counted from 1, and a value get or put.

#include <oaidl.h>
#include <windows.h>

#include <span>
#include <string_view>

#include "win32/com_object.h"

namespace veldrask::container {

// Fills ids for the asked names (case-insensitive, as scripts call them); DISP_E_UNKNOWNNAME
// with DISPID_UNKNOWN for a name not in known.
HRESULT IdsOfNames(std::span<const std::wstring_view> known, LPOLESTR* asked, UINT count,
                   DISPID* ids);

// The value of a property put, or null when params do not carry exactly one.
const VARIANT* PutValue(const DISPPARAMS* params);

// Copies text into result as a new BSTR.
HRESULT ReturnText(std::wstring_view text, VARIANT* result);

// A script object answering IDispatch by the names it lists (ids from 1), besides the other
// interfaces it implements; it has no type information.
template <typename... Others>
class NamedDispatch : public win32::ComObject<win32::PlainLifetime, Others..., IDispatch> {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    return IdsOfNames(Names(), names, count, ids);
  }

 protected:
  virtual std::span<const std::wstring_view> Names() const = 0;
};

}  // namespace veldrask::container
