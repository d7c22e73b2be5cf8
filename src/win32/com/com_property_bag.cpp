#include "win32/com/com_property_bag.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "win32/com/bstr_text.h"
#include "win32/com/com_variant.h"

namespace veldrask::com {
namespace {

// A stored value in its own type: text as text, whole numbers as 32-bit integers.
VARIANT ToStoredVariant(const Variant& value) {
  VARIANT stored;
  VariantInit(&stored);
  if (value.IsString()) {
    stored.vt = VT_BSTR;
    stored.bstrVal = BstrFromUtf8(value.ToString());
    return stored;
  }
  const double number = value.ToDouble();
  if (std::trunc(number) == number && number >= std::numeric_limits<std::int32_t>::min() &&
      number <= std::numeric_limits<std::int32_t>::max()) {
    stored.vt = VT_I4;
    stored.lVal = static_cast<LONG>(number);
  } else {
    stored.vt = VT_R8;
    stored.dblVal = number;
  }
  return stored;
}

}  // namespace

Variant ComPropertyBag::Read(std::string_view name, const Variant& defaultValue) {
  lastRead_ = name;
  std::wstring wide = WideFromUtf8(name);
  VARIANT value;
  VariantInit(&value);
  // An absent name (or a bag that cannot give it) leaves the current value.
  if (FAILED(bag_.Read(wide.c_str(), &value, log_))) return defaultValue;
  try {
    Variant result = FromComVariant(value);
    VariantClear(&value);
    return result;
  } catch (...) {
    VariantClear(&value);
    throw;
  }
}

void ComPropertyBag::Write(std::string_view name, const Variant& value,
                           const Variant& defaultValue) {
  if (value == defaultValue) return;
  std::wstring wide = WideFromUtf8(name);
  VARIANT stored = ToStoredVariant(value);
  bag_.Write(wide.c_str(), &stored);
  VariantClear(&stored);
}

}  // namespace veldrask::com
