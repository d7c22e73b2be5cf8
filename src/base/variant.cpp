#include "base/variant.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/error.h"
#include "base/rounding.h"
#include "base/text.h"

namespace veldrask {
namespace {

// Reads decimal text (sign, digits, one decimal point, exponent; spaces around) as a
// number; anything else is a type mismatch.
double ParseNumber(const std::string& text) {
  const std::string trimmed(TrimSpaces(text));
  if (trimmed.empty()) throw Error(ErrorNumber::kTypeMismatch);
  for (const char c : trimmed) {
    const bool allowed =
        (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E';
    if (!allowed) throw Error(ErrorNumber::kTypeMismatch);
  }
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(trimmed.c_str(), &end);
  if (end != trimmed.c_str() + trimmed.size()) throw Error(ErrorNumber::kTypeMismatch);
  if (errno == ERANGE && std::isinf(value)) throw Error(ErrorNumber::kOverflow);
  return value;
}

}  // namespace

double Variant::ToDouble() const {
  struct Visitor {
    double operator()(std::monostate) const { return 0; }
    double operator()(std::int16_t v) const { return v; }
    double operator()(std::int32_t v) const { return v; }
    double operator()(double v) const { return v; }
    double operator()(bool v) const { return v ? -1 : 0; }
    double operator()(const std::string& v) const { return ParseNumber(v); }
    double operator()(const FileArray&) const { throw Error(ErrorNumber::kTypeMismatch); }
  };
  return std::visit(Visitor{}, value_);
}

std::int16_t Variant::ToInt16() const {
  return RoundToInt16(ToDouble());
}

std::int32_t Variant::ToInt32() const {
  return RoundToInt32(ToDouble());
}

bool Variant::ToBool() const {
  if (const auto* text = std::get_if<std::string>(&value_)) {
    const std::string upper = ToUpperAscii(TrimSpaces(*text));
    if (upper == "TRUE") return true;
    if (upper == "FALSE") return false;
  }
  return ToDouble() != 0;
}

std::string Variant::ToString() const {
  struct Visitor {
    std::string operator()(std::monostate) const { return {}; }
    std::string operator()(std::int16_t v) const { return ToDecimal(v); }
    std::string operator()(std::int32_t v) const { return ToDecimal(v); }
    std::string operator()(double v) const {
      char buffer[40];
      std::snprintf(buffer, sizeof buffer, "%.15g", v);
      return buffer;
    }
    std::string operator()(bool v) const { return v ? "True" : "False"; }
    std::string operator()(const std::string& v) const { return v; }
    std::string operator()(const FileArray&) const { throw Error(ErrorNumber::kTypeMismatch); }
  };
  return std::visit(Visitor{}, value_);
}

Variant::FileArray Variant::ToFileArray() const {
  if (const auto* files = std::get_if<FileArray>(&value_)) return *files;
  throw Error(ErrorNumber::kTypeMismatch);
}

}  // namespace veldrask
