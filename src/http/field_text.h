#pragma once

// Small text rules of HTTP fields, shared by the head parser and the field-value readers.

#include <string_view>
#include <vector>

namespace veldrask::http_text {

// Optional whitespace of HTTP: space and horizontal tab.
inline bool IsOws(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimOws(std::string_view text);

// ASCII letters compared without case; every other byte must match exactly.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
inline bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

// The elements of a comma-separated field value, each trimmed of whitespace (empty
// elements kept, so that a caller can refuse them).
std::vector<std::string_view> SplitList(std::string_view value);

}  // namespace veldrask::http_text
