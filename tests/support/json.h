#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace veldrask::testing {

// A parsed JSON value, enough to read the test servers' answers. Object members keep their
// order; accessors of the wrong type throw std::runtime_error.
class JsonValue {
 public:
  using Array = std::vector<JsonValue>;
  using Object = std::vector<std::pair<std::string, JsonValue>>;
  struct Number {
    std::string text;  // as written, so integers beyond 2^53 stay exact
  };

  JsonValue() = default;
  explicit JsonValue(bool value) : value_(value) {}
  explicit JsonValue(Number value) : value_(std::move(value)) {}
  explicit JsonValue(std::string value) : value_(std::move(value)) {}
  explicit JsonValue(Array value) : value_(std::move(value)) {}
  explicit JsonValue(Object value) : value_(std::move(value)) {}

  bool IsNull() const { return std::holds_alternative<std::nullptr_t>(value_); }
  bool IsString() const { return std::holds_alternative<std::string>(value_); }
  bool IsNumber() const { return std::holds_alternative<Number>(value_); }
  bool IsArray() const { return std::holds_alternative<Array>(value_); }
  bool IsObject() const { return std::holds_alternative<Object>(value_); }

  bool AsBool() const;
  double AsDouble() const;
  std::int64_t AsInt() const;
  const std::string& AsString() const;
  const Array& AsArray() const;
  const Object& AsObject() const;

  // The member named key of an object, or nullptr.
  const JsonValue* Find(std::string_view key) const;
  // The member named key of an object; throws when there is none.
  const JsonValue& operator[](std::string_view key) const;

 private:
  std::variant<std::nullptr_t, bool, Number, std::string, Array, Object> value_ = nullptr;
};

// Parses one JSON text (RFC 8259); throws std::runtime_error naming the offset of an error.
JsonValue ParseJson(std::string_view text);

}  // namespace veldrask::testing
