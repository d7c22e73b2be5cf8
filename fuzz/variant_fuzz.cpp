// The conversions of a text value: each either gives a result or raises the control's error
// (a type mismatch or an overflow), and the results agree with one another.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "base/error.h"
#include "base/text.h"
#include "base/variant.h"
#include "fuzz_check.h"

namespace veldrask::fuzz {
namespace {

// A conversion's result, or the number of the error it raised; any other exception ends the
// run as a crash.
template <typename T>
struct Converted {
  std::optional<T> value;
  std::int32_t error = 0;
};

template <typename T, typename Convert>
Converted<T> Try(Convert convert) {
  Converted<T> result;
  try {
    result.value = convert();
  } catch (const Error& error) {
    result.error = error.Number();
    Check(result.error == NumberOf(ErrorNumber::kTypeMismatch) ||
              result.error == NumberOf(ErrorNumber::kOverflow),
          "conversions raise only a type mismatch or an overflow");
  }
  return result;
}

void CheckText(const std::string& text) {
  const Variant value(text);
  Check(value.IsString(), "a text value is a string");
  Check(value.ToString() == text, "ToString gives the text back");
  const auto asDouble = Try<double>([&] { return value.ToDouble(); });
  const auto asInt16 = Try<std::int16_t>([&] { return value.ToInt16(); });
  const auto asInt32 = Try<std::int32_t>([&] { return value.ToInt32(); });
  const auto asBool = Try<bool>([&] { return value.ToBool(); });

  if (!asDouble.value) {
    const std::string word = ToUpperAscii(TrimSpaces(text));
    if (word == "TRUE" || word == "FALSE") {
      Check(asBool.value == (word == "TRUE"), "True and False texts are Booleans");
    } else {
      Check(!asBool.value && asBool.error == asDouble.error, "no number, no Boolean");
    }
    Check(!asInt16.value && asInt16.error == asDouble.error, "no number, no 16-bit integer");
    Check(!asInt32.value && asInt32.error == asDouble.error, "no number, no 32-bit integer");
    return;
  }
  const double number = *asDouble.value;
  Check(std::isfinite(number), "a text number is finite");
  if (asBool.value) {
    Check(*asBool.value == (number != 0), "a number is true when it is not zero");
  } else {
    Check(false, "a number converts to a Boolean");
  }
  if (asInt32.value) {
    const double distance = std::fabs(number - *asInt32.value);
    Check(distance <= 0.5, "a 32-bit integer is the nearest one");
    if (distance == 0.5) Check(*asInt32.value % 2 == 0, "halves go to the even neighbour");
    const bool fits16 = *asInt32.value >= INT16_MIN && *asInt32.value <= INT16_MAX;
    Check(asInt16.value.has_value() == fits16, "the 16-bit conversion fails only out of range");
    if (asInt16.value) Check(*asInt16.value == *asInt32.value, "both integers agree");
  } else {
    Check(asInt32.error == NumberOf(ErrorNumber::kOverflow),
          "a number fails as an integer only by overflow");
    Check(std::fabs(number) >= 2147483647.5, "only a number out of range overflows");
    Check(!asInt16.value, "a number too large for 32 bits is too large for 16");
  }
  // The number converted again goes the same way.
  const Variant again(number);
  const auto againInt32 = Try<std::int32_t>([&] { return again.ToInt32(); });
  Check(againInt32.value == asInt32.value, "the number converts as its text does");
}

}  // namespace
}  // namespace veldrask::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  veldrask::fuzz::CheckText(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
