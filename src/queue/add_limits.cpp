#include "queue/add_limits.h"

#include <string>
#include <utility>

#include "base/text.h"

namespace veldrask {

std::optional<std::int32_t> MegabytesToBytes(std::int32_t megabytes) {
  const std::int64_t bytes = std::int64_t{megabytes} * 1048576;
  if (!std::in_range<std::int32_t>(bytes)) return std::nullopt;
  return static_cast<std::int32_t>(bytes);
}

bool IsExcludedExtension(std::string_view excludeList, std::string_view extension) {
  const std::string wanted = ToUpperAscii(TrimSpaces(extension));
  for (const std::string& entry : Split(excludeList, "|")) {
    const std::string_view trimmed = TrimSpaces(entry);
    if (!trimmed.empty() && ToUpperAscii(trimmed) == wanted) return true;
  }
  return false;
}

}  // namespace veldrask
