#include "win32/container/dispatch_call.h"

#include <cstdio>

#include "win32/wide_text.h"

namespace veldrask::container {
namespace {

// The arguments of an Invoke, last first, as the call wants them; frees them when done.
class Arguments {
 public:
  explicit Arguments(const std::vector<std::string>& texts) : values_(texts.size()) {
    for (std::size_t index = 0; index < texts.size(); ++index) {
      const std::wstring wide = win32::Widen(texts[index]);
      VARIANT& value = values_[texts.size() - 1 - index];
      VariantInit(&value);
      value.vt = VT_BSTR;
      value.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    }
  }
  ~Arguments() {
    for (VARIANT& value : values_) VariantClear(&value);
  }
  Arguments(const Arguments&) = delete;
  Arguments& operator=(const Arguments&) = delete;

  VARIANT* Data() { return values_.empty() ? nullptr : values_.data(); }
  UINT Count() const { return static_cast<UINT>(values_.size()); }

 private:
  std::vector<VARIANT> values_;
};

std::string TextOfBstr(BSTR text) {
  return text == nullptr ? std::string() : win32::Narrow({text, SysStringLen(text)});
}

MemberError ErrorOf(HRESULT result, EXCEPINFO& exception) {
  if (result == DISP_E_EXCEPTION) {
    if (exception.pfnDeferredFillIn != nullptr) exception.pfnDeferredFillIn(&exception);
    std::string description = TextOfBstr(exception.bstrDescription);
    const std::int32_t number =
        exception.scode != 0 ? static_cast<std::int32_t>(exception.scode) : exception.wCode;
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrHelpFile);
    return MemberError(number, std::move(description));
  }
  std::string description = win32::SystemMessage(static_cast<unsigned long>(result));
  if (description.empty()) {
    char number[24];
    std::snprintf(number, sizeof number, "HRESULT 0x%08lX", static_cast<unsigned long>(result));
    description = number;
  }
  return MemberError(static_cast<std::int32_t>(result), std::move(description));
}

std::string TextOfArray(SAFEARRAY& array, VARTYPE element) {
  LONG lower = 0;
  LONG upper = -1;
  SafeArrayGetLBound(&array, 1, &lower);
  SafeArrayGetUBound(&array, 1, &upper);
  std::string text;
  for (LONG index = lower; index <= upper; ++index) {
    VARIANT item;
    VariantInit(&item);
    if (element == VT_VARIANT) {
      SafeArrayGetElement(&array, &index, &item);
    } else if (element == VT_BSTR) {
      item.vt = VT_BSTR;
      SafeArrayGetElement(&array, &index, &item.bstrVal);
    }
    if (index != lower) text += '\n';
    text += TextOfVariant(item);
    VariantClear(&item);
  }
  return text;
}

}  // namespace

std::string TextOfVariant(const VARIANT& value) {
  if (value.vt == VT_EMPTY || value.vt == VT_NULL) return {};
  if (value.vt == VT_BOOL) return value.boolVal != VARIANT_FALSE ? "True" : "False";
  if ((value.vt & VT_ARRAY) != 0) {
    SAFEARRAY* array = (value.vt & VT_BYREF) != 0 ? *value.pparray : value.parray;
    return array != nullptr ? TextOfArray(*array, static_cast<VARTYPE>(value.vt & VT_TYPEMASK))
                            : std::string();
  }
  VARIANT text;
  VariantInit(&text);
  // Numbers in the invariant form, whatever the user's locale.
  if (FAILED(
          VariantChangeTypeEx(&text, const_cast<VARIANT*>(&value), LOCALE_INVARIANT, 0, VT_BSTR)))
    return {};
  std::string result = TextOfBstr(text.bstrVal);
  VariantClear(&text);
  return result;
}

OwnedVariant InvokeByName(IDispatch& object, std::string_view member, MemberKind kind,
                          const std::vector<std::string>& arguments) {
  std::wstring name = win32::Widen(member);
  LPOLESTR names = name.data();
  DISPID id = DISPID_UNKNOWN;
  HRESULT result = object.GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(result)) {
    EXCEPINFO none{};
    throw ErrorOf(result, none);
  }
  Arguments values(arguments);
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{values.Data(), nullptr, values.Count(), 0};
  WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
  if (kind == MemberKind::kPut) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
    flags = DISPATCH_PROPERTYPUT;
  } else if (kind == MemberKind::kGet) {
    flags = DISPATCH_PROPERTYGET;
  }
  OwnedVariant value;
  EXCEPINFO exception{};
  UINT wrongArgument = 0;
  result =
      object.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                    kind == MemberKind::kPut ? nullptr : &value.Get(), &exception, &wrongArgument);
  if (FAILED(result)) throw ErrorOf(result, exception);
  return value;
}

std::string CallByName(IDispatch& object, std::string_view member, MemberKind kind,
                       const std::vector<std::string>& arguments) {
  return TextOfVariant(InvokeByName(object, member, kind, arguments).Get());
}

}  // namespace veldrask::container
