#include "queue/queue_messages.h"

#include <cstdint>
#include <initializer_list>
#include <limits>

#include "base/text.h"
#include "queue/add_limits.h"

namespace veldrask {
namespace {

constexpr std::int32_t kLargestLimitMegabytes = 2047;

// Lines of a message, separated by a blank line as the control's messages are.
std::string Paragraphs(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (const std::string_view part : parts) {
    if (!text.empty()) {
      text += kCrLf;
      text += kCrLf;
    }
    text += part;
  }
  return text;
}

std::string Kilobytes(std::int32_t megabytes, const NumberStyle& numbers) {
  return FormatN0(static_cast<double>(megabytes) * 1024, numbers);
}

std::string LimitRangeMessage(std::string_view path, std::string_view limitName,
                              std::int32_t megabytes, const NumberStyle& numbers) {
  return Paragraphs(
      {path,
       std::string(limitName) + "(" + FormatN0(megabytes, numbers) +
           " MB)이 처리할 수 있는 범위를 벗어났습니다.",
       "용량 설정은 " + FormatN0(kLargestLimitMegabytes, numbers) + " MB 이하여야 합니다."});
}

}  // namespace

std::string CountMessage(std::int16_t maxFileCount) {
  return Paragraphs({"허용된 파일 갯수가 초과되었습니다.",
                     "최대 업로드 가능 파일 갯수는 " + ToDecimal(maxFileCount) + "개 입니다."});
}

std::string ExtensionMessage(std::string_view path) {
  return Paragraphs({path, "업로드가 불가능한 파일 확장자입니다."});
}

std::string TotalMessage(std::int32_t maxFileSize, const NumberStyle& numbers) {
  return Paragraphs({"허용된 총 용량이 초과되었습니다.",
                     "최대 업로드 가능 용량은 " + Kilobytes(maxFileSize, numbers) + " KB 입니다."});
}

std::string PerFileMessage(std::string_view path, std::int32_t unitFileSize,
                           const NumberStyle& numbers) {
  return Paragraphs(
      {path, "파일당 업로드 가능 용량이 초과되었습니다.",
       "파일당 업로드 가능 용량은 " + Kilobytes(unitFileSize, numbers) + " KB 입니다."});
}

std::string UnmeasurableMessage(std::string_view path, const Error& error) {
  return Paragraphs(
      {path, "파일 크기를 확인할 수 없어 추가하지 않았습니다.", FormatErrorMessage(error)});
}

std::string OversizeMessage(std::string_view path, const NumberStyle& numbers) {
  return Paragraphs({path, "2 GB 이상인 파일은 업로드할 수 없습니다.",
                     "파일 하나의 크기는 " +
                         FormatN0(static_cast<double>(kMaxQueueBytes), numbers) +
                         " 바이트까지 가능합니다."});
}

std::string TotalLimitRangeMessage(std::string_view path, std::int32_t maxFileSize,
                                   const NumberStyle& numbers) {
  return LimitRangeMessage(path, "최대 업로드 가능 용량", maxFileSize, numbers);
}

std::string PerFileLimitRangeMessage(std::string_view path, std::int32_t unitFileSize,
                                     const NumberStyle& numbers) {
  return LimitRangeMessage(path, "파일당 업로드 가능 용량", unitFileSize, numbers);
}

std::string QueueRangeMessage(std::string_view name, const NumberStyle& numbers) {
  return Paragraphs({name, "목록의 파일 수나 총 용량이 셀 수 있는 범위를 넘어 추가할 수 없습니다.",
                     "목록에는 최대 " +
                         FormatN0(std::numeric_limits<std::int16_t>::max(), numbers) + " 개, 총 " +
                         FormatN0(static_cast<double>(kMaxQueueBytes), numbers) +
                         " 바이트까지 담을 수 있습니다."});
}

}  // namespace veldrask
