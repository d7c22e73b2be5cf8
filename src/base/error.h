#pragma once

#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

namespace veldrask {

// The error numbers the control raises, in the numbering that scripting hosts know.
enum class ErrorNumber : std::int32_t {
  kInvalidArgument = 5,
  kOverflow = 6,
  kOutOfMemory = 7,
  kSubscriptOutOfRange = 9,
  kDivisionByZero = 11,
  kTypeMismatch = 13,
  kBadFileName = 52,
  kFileNotFound = 53,
  kFileAlreadyExists = 58,
  kDiskFull = 61,
  kInputPastEnd = 62,
  kPermissionDenied = 70,
  kPathFileAccess = 75,
  kPathNotFound = 76,
  kObjectRequired = 424,
  kMemberNotFound = 438,
  kArgumentNotOptional = 449,
  kWrongArgumentCount = 450,
  kKeyNotUnique = 35602,
};

// number as scripts see it.
constexpr std::int32_t NumberOf(ErrorNumber number) {
  return static_cast<std::int32_t>(number);
}

// The Korean description that goes with a number of the table above; a generic text for
// any other number.
std::string_view DescribeError(std::int32_t number);

// The one error type of the control: a number and a description.
class Error : public std::runtime_error {
 public:
  explicit Error(ErrorNumber number);
  Error(ErrorNumber number, std::string description);
  Error(std::int32_t number, std::string description);

  std::int32_t Number() const { return number_; }
  bool Is(ErrorNumber number) const { return number_ == NumberOf(number); }
  const std::string& Description() const { return description_; }

 private:
  std::int32_t number_;
  std::string description_;
};

// "[" + number + "] " + description, the form in which an operation shows a failure.
std::string FormatErrorMessage(const Error& error);

// Runs action and hands what it raised to show: an Error as it is, running out of memory as
// the out-of-memory error. Where a user action or a transfer ends in a message, not a throw.
template <typename Action, typename Show>
void ShowingErrors(Action&& action, Show&& show) {
  try {
    action();
  } catch (const Error& error) {
    show(error);
  } catch (const std::bad_alloc&) {
    show(Error(ErrorNumber::kOutOfMemory));
  }
}

}  // namespace veldrask
