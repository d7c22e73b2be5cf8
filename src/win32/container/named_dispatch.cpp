#include "win32/container/named_dispatch.h"

namespace veldrask::container {

HRESULT IdsOfNames(std::span<const std::wstring_view> known, LPOLESTR* asked, UINT count,
                   DISPID* ids) {
  if (asked == nullptr || ids == nullptr) return E_POINTER;
  HRESULT result = S_OK;
  for (UINT index = 0; index < count; ++index) {
    ids[index] = DISPID_UNKNOWN;
    for (std::size_t known_index = 0; known_index < known.size(); ++known_index) {
      const std::wstring_view name = known[known_index];
      if (CompareStringOrdinal(asked[index], -1, name.data(), static_cast<int>(name.size()),
                               TRUE) == CSTR_EQUAL) {
        ids[index] = static_cast<DISPID>(known_index + 1);
      }
    }
    if (ids[index] == DISPID_UNKNOWN) result = DISP_E_UNKNOWNNAME;
  }
  return result;
}

const VARIANT* PutValue(const DISPPARAMS* params) {
  if (params == nullptr || params->cArgs != 1) return nullptr;
  return &params->rgvarg[0];
}

HRESULT ReturnText(std::wstring_view text, VARIANT* result) {
  if (result == nullptr) return S_OK;
  VariantInit(result);
  result->vt = VT_BSTR;
  result->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return result->bstrVal != nullptr ? S_OK : E_OUTOFMEMORY;
}

}  // namespace veldrask::container
