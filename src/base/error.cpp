#include "base/error.h"

namespace veldrask {

std::string_view DescribeError(std::int32_t number) {
  switch (static_cast<ErrorNumber>(number)) {
    case ErrorNumber::kInvalidArgument:
      return "프로시저 호출 또는 인수가 잘못되었습니다.";
    case ErrorNumber::kOverflow:
      return "오버플로";
    case ErrorNumber::kOutOfMemory:
      return "메모리가 부족합니다.";
    case ErrorNumber::kSubscriptOutOfRange:
      return "첨자 사용이 잘못되었습니다.";
    case ErrorNumber::kDivisionByZero:
      return "0으로 나누었습니다.";
    case ErrorNumber::kTypeMismatch:
      return "형식이 일치하지 않습니다.";
    case ErrorNumber::kBadFileName:
      return "파일 이름이나 번호가 잘못되었습니다.";
    case ErrorNumber::kFileNotFound:
      return "파일을 찾을 수 없습니다.";
    case ErrorNumber::kFileAlreadyExists:
      return "파일이 이미 있습니다.";
    case ErrorNumber::kDiskFull:
      return "디스크가 꽉 찼습니다.";
    case ErrorNumber::kInputPastEnd:
      return "파일의 끝을 지나서 입력했습니다.";
    case ErrorNumber::kPermissionDenied:
      return "사용 권한이 없습니다.";
    case ErrorNumber::kPathFileAccess:
      return "경로/파일 액세스 오류입니다.";
    case ErrorNumber::kPathNotFound:
      return "경로를 찾을 수 없습니다.";
    case ErrorNumber::kObjectRequired:
      return "개체가 필요합니다.";
    case ErrorNumber::kMemberNotFound:
      return "개체는 이 속성 또는 메서드를 지원하지 않습니다.";
    case ErrorNumber::kArgumentNotOptional:
      return "인수는 선택 항목이 아닙니다.";
    case ErrorNumber::kWrongArgumentCount:
      return "인수의 개수가 잘못되었거나 속성 할당이 잘못되었습니다.";
    case ErrorNumber::kKeyNotUnique:
      return "키가 컬렉션에서 고유하지 않습니다.";
  }
  return "응용 프로그램 정의 오류 또는 개체 정의 오류입니다.";
}

Error::Error(ErrorNumber number)
    : Error(NumberOf(number), std::string(DescribeError(NumberOf(number)))) {}

Error::Error(ErrorNumber number, std::string description)
    : Error(NumberOf(number), std::move(description)) {}

Error::Error(std::int32_t number, std::string description)
    : std::runtime_error(description), number_(number), description_(std::move(description)) {}

std::string FormatErrorMessage(const Error& error) {
  return "[" + std::to_string(error.Number()) + "] " + error.Description();
}

}  // namespace veldrask
