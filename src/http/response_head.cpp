#include "http/response_head.h"

#include <cstddef>

#include "http/field_text.h"

namespace veldrask {
namespace {

using http_text::EqualsIgnoreCase;
using http_text::IsOws;
using http_text::TrimOws;

// Whitespace that separates the parts of a status line; a stray CR counts as well.
bool IsStatusLineSpace(char c) {
  return IsOws(c) || c == '\r' || c == '\v' || c == '\f';
}

// The next whitespace-separated word of line, which is advanced past it.
std::string_view NextWord(std::string_view& line) {
  std::size_t start = 0;
  while (start < line.size() && IsStatusLineSpace(line[start])) ++start;
  std::size_t end = start;
  while (end < line.size() && !IsStatusLineSpace(line[end])) ++end;
  const std::string_view word = line.substr(start, end - start);
  line.remove_prefix(end);
  return word;
}

std::string_view TrimStatusLineSpace(std::string_view text) {
  while (!text.empty() && IsStatusLineSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsStatusLineSpace(text.back())) text.remove_suffix(1);
  return text;
}

// The next line of text without its line end; text is advanced past the line end.
std::string_view NextLine(std::string_view& text) {
  const std::size_t lf = text.find('\n');
  std::string_view line = text.substr(0, lf);
  text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

bool ParseStatusLine(std::string_view line, ResponseHead& head) {
  head.protocol = NextWord(line);
  head.statusCode = NextWord(line);
  head.reason = TrimStatusLineSpace(line);
  return head.protocol.starts_with("HTTP/") && !head.statusCode.empty();
}

bool IsValidFieldName(std::string_view name) {
  if (name.empty()) return false;
  for (const char c : name) {
    if (IsStatusLineSpace(c)) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string_view> ResponseHead::Find(std::string_view name) const {
  for (const HeaderField& field : fields) {
    if (EqualsIgnoreCase(field.name, name)) return field.value;
  }
  return std::nullopt;
}

std::vector<std::string_view> ResponseHead::FindAll(std::string_view name) const {
  std::vector<std::string_view> values;
  for (const HeaderField& field : fields) {
    if (EqualsIgnoreCase(field.name, name)) values.emplace_back(field.value);
  }
  return values;
}

std::optional<int> ResponseHead::StatusNumber() const {
  if (statusCode.size() != 3) return std::nullopt;
  int number = 0;
  for (const char c : statusCode) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + (c - '0');
  }
  return number;
}

bool ResponseHead::IsInterim() const {
  const std::optional<int> number = StatusNumber();
  return number && *number >= 100 && *number <= 199;
}

ParsedHead ParseResponseHead(std::string_view text) {
  ParsedHead parsed;
  ResponseHead& head = parsed.head;
  if (!ParseStatusLine(NextLine(text), head)) {
    parsed.error = ResponseError::kMalformedStatusLine;
    return parsed;
  }
  while (!text.empty()) {
    const std::string_view line = NextLine(text);
    if (line.empty()) break;
    if (IsOws(line.front())) {
      // An obsolete folded line continues the previous value.
      if (head.fields.empty()) {
        parsed.error = ResponseError::kMalformedHeaderLine;
        return parsed;
      }
      const std::string_view more = TrimOws(line);
      std::string& value = head.fields.back().value;
      if (more.empty()) continue;
      if (!value.empty()) value += ' ';
      value += more;
      continue;
    }
    const std::size_t colon = line.find(':');
    const std::string_view name = line.substr(0, colon);
    if (colon == std::string_view::npos || !IsValidFieldName(name)) {
      parsed.error = ResponseError::kMalformedHeaderLine;
      return parsed;
    }
    head.fields.push_back({std::string(name), std::string(TrimOws(line.substr(colon + 1)))});
  }
  return parsed;
}

std::string ResponseHeadText(const ResponseHead& head) {
  std::string text = head.protocol + " " + head.statusCode;
  if (!head.reason.empty()) text += " " + head.reason;
  text += "\n";
  for (const HeaderField& field : head.fields) text += field.name + ": " + field.value + "\n";
  return text + "\n";
}

}  // namespace veldrask
