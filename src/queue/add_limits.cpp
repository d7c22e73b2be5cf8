#include "queue/add_limits.h"

#include <string>
#include <utility>

#include "base/letter_case.h"
#include "base/text.h"

namespace veldrask {

std::optional<std::int32_t> MegabytesToBytes(std::int32_t megabytes) {
  const std::int64_t bytes = std::int64_t{megabytes} * 1048576;
  if (!std::in_range<std::int32_t>(bytes)) return std::nullopt;
  return static_cast<std::int32_t>(bytes);
}

bool IsExcludedExtension(std::string_view excludeList, std::string_view extension) {
  // Upper case as the user's locale has it, for every letter, not for ASCII alone.
  const std::string wanted = ToUpperLetters(TrimSpaces(extension));
  for (const std::string& entry : Split(excludeList, "|")) {
    const std::string_view trimmed = TrimSpaces(entry);
    if (!trimmed.empty() && ToUpperLetters(trimmed) == wanted) return true;
  }
  return false;
}

}  // namespace veldrask
