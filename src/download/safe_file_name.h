#pragma once

// Names under which downloaded files are written. The server chooses the names, so they are
// made harmless before they meet the file system: a file always lands inside the session's
// folder, whatever the server path holds.

#include <cstdint>
#include <string>
#include <string_view>

namespace veldrask {

// The name a file gets when nothing usable is left of the server's.
inline constexpr std::string_view kFallbackFileName = "download";

// name as a single file name for a folder whose separator is separator: "/", "\", ":" and
// control characters become "_"; "." and ".." are refused. Where the separator is "\"
// (Windows), the characters < > " | ? * become "_" too, trailing dots and spaces are dropped
// and a reserved device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or without an
// extension) gets a leading "_". Whatever ends up empty becomes kFallbackFileName.
std::string SafeFileName(std::string_view name, std::string_view separator);

// The k-th numbered form of name: split at its first "." into base and extension (empty
// when there is no "."), then base + "[" + k + "]." + extension. "a.tar.gz" -> "a[1].tar.gz",
// "README" -> "README[1].".
std::string NumberedName(std::string_view name, std::int32_t k);

}  // namespace veldrask
