#pragma once

// Members of a control called by name through its IDispatch, with UTF-8 texts on our side.

#include <oaidl.h>
#include <windows.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace veldrask::container {

// A dispatch exception of the control, or a failure of the call itself (then number is the
// HRESULT and description the system's text for it).
class MemberError : public std::runtime_error {
 public:
  MemberError(std::int32_t number, std::string description)
      : std::runtime_error(description), number_(number), description_(std::move(description)) {}
  std::int32_t Number() const { return number_; }
  const std::string& Description() const { return description_; }

 private:
  std::int32_t number_;
  std::string description_;
};

enum class MemberKind { kMethod, kGet, kPut };

// A call's result, cleared when it goes.
class OwnedVariant {
 public:
  OwnedVariant() { VariantInit(&value_); }
  ~OwnedVariant() { VariantClear(&value_); }
  OwnedVariant(OwnedVariant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }
  OwnedVariant& operator=(OwnedVariant&&) = delete;
  OwnedVariant(const OwnedVariant&) = delete;
  OwnedVariant& operator=(const OwnedVariant&) = delete;

  VARIANT& Get() { return value_; }
  const VARIANT& Get() const { return value_; }

 private:
  VARIANT value_;
};

// Calls member with the arguments as strings and returns its result as it came. A call
// that is neither a put nor a plain get may be a property read or a method without
// arguments, as a script's "object.Name" is. Throws MemberError.
OwnedVariant InvokeByName(IDispatch& object, std::string_view member, MemberKind kind,
                          const std::vector<std::string>& arguments);

// Calls member with the arguments as strings (the control converts them to the types it
// declares) and returns the result as text: "" for none, "True"/"False" for a boolean, the
// elements of an array one a line. Throws MemberError.
std::string CallByName(IDispatch& object, std::string_view member, MemberKind kind,
                       const std::vector<std::string>& arguments);

// A variant as text, in the forms above.
std::string TextOfVariant(const VARIANT& value);

}  // namespace veldrask::container
