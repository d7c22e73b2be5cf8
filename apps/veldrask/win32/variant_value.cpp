#include "variant_value.h"

#include <windows.h>

#include "control_host.h"
#include "win32/wide_text.h"

namespace veldrask::host {
namespace {

std::string TextOf(BSTR text) {
  return text == nullptr ? std::string() : win32::Narrow({text, SysStringLen(text)});
}

// One named field of a record, as a VARIANT.
VARIANT Field(IRecordInfo& info, void* record, const wchar_t* name) {
  VARIANT field;
  VariantInit(&field);
  info.GetField(record, name, &field);
  return field;
}

Variant::FileArray FileRecords(SAFEARRAY& array) {
  Variant::FileArray files;
  IRecordInfo* info = nullptr;
  if (FAILED(SafeArrayGetRecordInfo(&array, &info)) || info == nullptr) return files;
  LONG lower = 0;
  LONG upper = -1;
  SafeArrayGetLBound(&array, 1, &lower);
  SafeArrayGetUBound(&array, 1, &upper);
  void* data = nullptr;
  SafeArrayAccessData(&array, &data);
  for (LONG index = lower; index <= upper; ++index) {
    void* record =
        static_cast<char*>(data) + static_cast<std::size_t>(index - lower) * array.cbElements;
    VARIANT key = Field(*info, record, L"key");
    VARIANT name = Field(*info, record, L"name");
    VARIANT size = Field(*info, record, L"size");
    VARIANT header = Field(*info, record, L"header");
    files.push_back(
        AttachedFile{.key = key.vt == VT_BSTR ? TextOf(key.bstrVal) : std::string(),
                     .name = name.vt == VT_BSTR ? TextOf(name.bstrVal) : std::string(),
                     .size = size.vt == VT_I4 ? size.lVal : 0,
                     .header = header.vt == VT_BSTR ? TextOf(header.bstrVal) : std::string()});
    for (VARIANT* field : {&key, &name, &size, &header}) VariantClear(field);
  }
  SafeArrayUnaccessData(&array);
  info->Release();
  return files;
}

}  // namespace

Variant ValueOf(const VARIANT& value) {
  switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL:
      return {};
    case VT_BOOL:
      return Variant(value.boolVal != VARIANT_FALSE);
    case VT_I2:
      return Variant(static_cast<std::int16_t>(value.iVal));
    case VT_I4:
      return Variant(static_cast<std::int32_t>(value.lVal));
    case VT_R8:
      return Variant(value.dblVal);
    case VT_BSTR:
      return Variant(TextOf(value.bstrVal));
    case VT_ARRAY | VT_RECORD:
      return value.parray != nullptr ? Variant(FileRecords(*value.parray))
                                     : Variant(Variant::FileArray{});
    default:
      return Variant(container::TextOfVariant(value));
  }
}

}  // namespace veldrask::host
