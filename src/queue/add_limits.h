#pragma once

// The limits a page sets on the upload queue, as the add command applies them.

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

namespace veldrask {

// The largest byte count the queue can hold or send: sizes and totals are 32-bit signed.
inline constexpr std::int64_t kMaxQueueBytes = std::numeric_limits<std::int32_t>::max();

// megabytes × 1,048,576, or nullopt when that does not fit 32-bit signed arithmetic
// (2048 MB or more, -2049 MB or less).
std::optional<std::int32_t> MegabytesToBytes(std::int32_t megabytes);

// Whether an entry of the "|"-separated list, trimmed and not empty, equals the extension
// trimmed, letter case ignored. Entries are written without a dot, so ".exe" never matches.
bool IsExcludedExtension(std::string_view excludeList, std::string_view extension);

}  // namespace veldrask
