#include "http/field_text.h"

#include <cstddef>

namespace veldrask::http_text {
namespace {

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string_view TrimOws(std::string_view text) {
  while (!text.empty() && IsOws(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsOws(text.back())) text.remove_suffix(1);
  return text;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

std::vector<std::string_view> SplitList(std::string_view value) {
  std::vector<std::string_view> elements;
  for (;;) {
    const std::size_t comma = value.find(',');
    elements.push_back(TrimOws(value.substr(0, comma)));
    if (comma == std::string_view::npos) break;
    value.remove_prefix(comma + 1);
  }
  return elements;
}

}  // namespace veldrask::http_text
