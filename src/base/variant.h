#pragma once

// The value that crosses the control's interface by name: an argument, a result, a
// property-bag value. Conversions follow the scripting host's rules: text "12" becomes a
// 16-bit 12, "1.5" rounds to 2 and "2.5" to 2 (halves to even), text that is not a number
// is a type mismatch, a number outside the target's range an overflow.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "base/records.h"

namespace veldrask {

class Variant {
 public:
  using FileArray = std::vector<AttachedFile>;

  Variant() = default;
  Variant(std::int16_t value) : value_(value) {}              // NOLINT(google-explicit-constructor)
  Variant(std::int32_t value) : value_(value) {}              // NOLINT(google-explicit-constructor)
  Variant(double value) : value_(value) {}                    // NOLINT(google-explicit-constructor)
  Variant(bool value) : value_(value) {}                      // NOLINT(google-explicit-constructor)
  Variant(std::string value) : value_(std::move(value)) {}    // NOLINT
  Variant(const char* value) : value_(std::string(value)) {}  // NOLINT
  Variant(FileArray value) : value_(std::move(value)) {}      // NOLINT

  bool IsEmpty() const { return std::holds_alternative<std::monostate>(value_); }
  bool IsString() const { return std::holds_alternative<std::string>(value_); }
  bool IsFileArray() const { return std::holds_alternative<FileArray>(value_); }

  std::int16_t ToInt16() const;
  std::int32_t ToInt32() const;
  double ToDouble() const;
  bool ToBool() const;
  std::string ToString() const;
  FileArray ToFileArray() const;

  // The scripting form of a Boolean: True is -1.
  static Variant FromBool(bool value) { return Variant(static_cast<std::int16_t>(value ? -1 : 0)); }

  bool operator==(const Variant&) const = default;

 private:
  std::variant<std::monostate, std::int16_t, std::int32_t, double, bool, std::string, FileArray>
      value_;
};

}  // namespace veldrask
