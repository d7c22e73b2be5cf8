#include "win32/container/param_bag.h"

namespace veldrask::container {

HRESULT ParamBag::QueryInterface(REFIID id, void** object) {
  return win32::AnswerQuery(id, object, {{&IID_IPropertyBag, static_cast<IPropertyBag*>(this)}});
}

std::pair<std::wstring, std::wstring>* ParamBag::Find(LPCOLESTR name) {
  for (auto& param : params_) {
    if (CompareStringOrdinal(name, -1, param.first.c_str(), -1, TRUE) == CSTR_EQUAL) {
      return &param;
    }
  }
  return nullptr;
}

HRESULT ParamBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) {
  if (name == nullptr || value == nullptr) return E_POINTER;
  namesRead_.emplace_back(name);
  const auto* param = Find(name);
  if (param == nullptr) return E_INVALIDARG;
  const VARTYPE wanted = value->vt == VT_EMPTY ? static_cast<VARTYPE>(VT_BSTR) : value->vt;
  VARIANT text;
  VariantInit(&text);
  text.vt = VT_BSTR;
  text.bstrVal = SysAllocStringLen(param->second.data(), static_cast<UINT>(param->second.size()));
  if (text.bstrVal == nullptr) return E_OUTOFMEMORY;
  VariantInit(value);
  const HRESULT converted = VariantChangeType(value, &text, 0, wanted);
  VariantClear(&text);
  if (FAILED(converted) && log != nullptr) {
    EXCEPINFO error{};
    error.scode = converted;
    log->AddError(name, &error);
  }
  return converted;
}

HRESULT ParamBag::Write(LPCOLESTR name, VARIANT* value) {
  if (name == nullptr || value == nullptr) return E_POINTER;
  VARIANT text;
  VariantInit(&text);
  if (FAILED(VariantChangeType(&text, value, 0, VT_BSTR))) return E_INVALIDARG;
  std::wstring written(text.bstrVal, SysStringLen(text.bstrVal));
  VariantClear(&text);
  if (auto* param = Find(name)) {
    param->second = std::move(written);
  } else {
    params_.emplace_back(name, std::move(written));
  }
  return S_OK;
}

}  // namespace veldrask::container
