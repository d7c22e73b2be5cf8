#include "win32/com/com_variant.h"

#include <new>

#include "base/error.h"
#include "veldrask_uploader.h"
#include "win32/com/bstr_text.h"

namespace veldrask::com {
namespace {

// Owns a VARIANT for the length of a conversion.
struct ScopedVariant {
  VARIANT value;
  ScopedVariant() { VariantInit(&value); }
  ~ScopedVariant() { VariantClear(&value); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
};

Variant FromPlain(const VARIANT& value) {
  switch (value.vt) {
    case VT_EMPTY:
      return Variant();
    case VT_BSTR:
      return Variant(Utf8FromBstr(value.bstrVal));
    case VT_I2:
      return Variant(static_cast<std::int16_t>(value.iVal));
    case VT_I4:
      return Variant(static_cast<std::int32_t>(value.lVal));
    case VT_BOOL:
      return Variant(value.boolVal != VARIANT_FALSE);
    case VT_R8:
      return Variant(value.dblVal);
    case VT_ERROR:
      // A script that leaves out an argument in the middle passes this.
      if (value.scode == DISP_E_PARAMNOTFOUND) throw Error(ErrorNumber::kArgumentNotOptional);
      throw Error(ErrorNumber::kTypeMismatch);
    default:
      break;
  }
  if ((value.vt & VT_ARRAY) != 0 || value.vt == VT_NULL) throw Error(ErrorNumber::kTypeMismatch);
  // Other numbers as a double; an object by its default value, as text.
  ScopedVariant converted;
  const VARTYPE target = value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN ? VT_BSTR : VT_R8;
  if (FAILED(VariantChangeType(&converted.value, const_cast<VARIANT*>(&value), 0, target))) {
    throw Error(ErrorNumber::kTypeMismatch);
  }
  return FromPlain(converted.value);
}

BSTR* TextReference(VARIANT& argument) {
  if (argument.vt == (VT_BYREF | VT_BSTR)) return argument.pbstrVal;
  return nullptr;
}

SAFEARRAY* FileArray(const Variant::FileArray& files, ITypeInfo* fileType) {
  IRecordInfo* record = nullptr;
  if (fileType == nullptr || FAILED(GetRecordInfoFromTypeInfo(fileType, &record))) {
    throw Error(ErrorNumber::kTypeMismatch);
  }
  SAFEARRAYBOUND bound{static_cast<ULONG>(files.size()), 0};
  SAFEARRAY* array = SafeArrayCreateEx(VT_RECORD, 1, &bound, record);
  record->Release();
  if (array == nullptr) throw std::bad_alloc();
  void* data = nullptr;
  SafeArrayAccessData(array, &data);
  auto* entries = static_cast<ATTACHEDFILE*>(data);
  try {
    for (std::size_t i = 0; i < files.size(); ++i) {
      entries[i].key = BstrFromUtf8(files[i].key);
      entries[i].name = BstrFromUtf8(files[i].name);
      entries[i].size = files[i].size;
      entries[i].header = BstrFromUtf8(files[i].header);
    }
  } catch (...) {
    SafeArrayUnaccessData(array);
    SafeArrayDestroy(array);
    throw;
  }
  SafeArrayUnaccessData(array);
  return array;
}

}  // namespace

Variant FromComVariant(const VARIANT& value) {
  if ((value.vt & VT_BYREF) == 0) return FromPlain(value);
  ScopedVariant direct;
  if (FAILED(VariantCopyInd(&direct.value, const_cast<VARIANT*>(&value))))
    throw Error(ErrorNumber::kTypeMismatch);
  return FromPlain(direct.value);
}

void ToComVariant(const Variant& value, ValueType type, ITypeInfo* fileType, VARIANT& result) {
  switch (type) {
    case ValueType::kNone:
      return;
    case ValueType::kString:
      result.bstrVal = BstrFromUtf8(value.ToString());
      result.vt = VT_BSTR;
      return;
    case ValueType::kInt16:
      result.iVal = value.ToInt16();
      result.vt = VT_I2;
      return;
    case ValueType::kInt32:
      result.lVal = value.ToInt32();
      result.vt = VT_I4;
      return;
    case ValueType::kBool:
      result.boolVal = value.ToBool() ? VARIANT_TRUE : VARIANT_FALSE;
      result.vt = VT_BOOL;
      return;
    case ValueType::kFileArray:
      result.parray = FileArray(value.ToFileArray(), fileType);
      result.vt = VT_ARRAY | VT_RECORD;
      return;
  }
}

void WriteBackText(const Variant& value, VARIANT& argument) {
  if (argument.vt == (VT_BYREF | VT_VARIANT)) {
    VARIANT& target = *argument.pvarVal;
    BSTR text = BstrFromUtf8(value.ToString());
    VariantClear(&target);
    target.vt = VT_BSTR;
    target.bstrVal = text;
    return;
  }
  if (BSTR* target = TextReference(argument)) {
    BSTR text = BstrFromUtf8(value.ToString());
    SysFreeString(*target);
    *target = text;
  }
}

}  // namespace veldrask::com
