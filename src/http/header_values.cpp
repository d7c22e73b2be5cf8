#include "http/header_values.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <string_view>
#include <vector>

#include "http/field_text.h"

namespace veldrask {
namespace {

using http_text::EqualsIgnoreCase;
using http_text::IsOws;
using http_text::SplitList;
using http_text::TrimOws;

std::optional<std::uint64_t> ParseDecimal(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (value > (kMax - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

std::vector<std::string_view> TransferCodings(const ResponseHead& head) {
  std::vector<std::string_view> codings;
  for (const std::string_view value : head.FindAll("Transfer-Encoding")) {
    for (const std::string_view element : SplitList(value)) {
      if (!element.empty()) codings.push_back(element);
    }
  }
  return codings;
}

// Reads one parameter value at the start of text (just after its "="), advancing text to
// the ";" that ends it or to the end.
std::string ReadParameterValue(std::string_view& text) {
  std::string value;
  if (!text.empty() && text.front() == '"') {
    std::size_t i = 1;
    for (; i < text.size() && text[i] != '"'; ++i) {
      if (text[i] == '\\' && i + 1 < text.size()) ++i;
      value += text[i];
    }
    text.remove_prefix(std::min(i + 1, text.size()));
    const std::size_t semicolon = text.find(';');
    text.remove_prefix(semicolon == std::string_view::npos ? text.size() : semicolon);
    return value;
  }
  const std::size_t semicolon = text.find(';');
  value = TrimOws(text.substr(0, semicolon));
  text.remove_prefix(semicolon == std::string_view::npos ? text.size() : semicolon);
  return value;
}

}  // namespace

ContentLengthValue ContentLengthOf(const ResponseHead& head) {
  ContentLengthValue result;
  for (const std::string_view value : head.FindAll("Content-Length")) {
    for (const std::string_view element : SplitList(value)) {
      const std::optional<std::uint64_t> length = ParseDecimal(element);
      if (!length) return {std::nullopt, ResponseError::kInvalidContentLength};
      if (result.length && *result.length != *length) {
        return {std::nullopt, ResponseError::kConflictingContentLength};
      }
      result.length = length;
    }
  }
  return result;
}

bool HasTransferEncoding(const ResponseHead& head) {
  return head.Find("Transfer-Encoding").has_value();
}

bool IsChunked(const ResponseHead& head) {
  const std::vector<std::string_view> codings = TransferCodings(head);
  if (codings.empty()) return false;
  const std::string_view last = codings.back();
  return EqualsIgnoreCase(TrimOws(last.substr(0, last.find(';'))), "chunked");
}

std::optional<std::string> CharsetOf(const ResponseHead& head) {
  const std::optional<std::string_view> contentType = head.Find("Content-Type");
  if (!contentType) return std::nullopt;
  std::string_view rest = *contentType;
  const std::size_t firstSemicolon = rest.find(';');
  if (firstSemicolon == std::string_view::npos) return std::nullopt;
  rest.remove_prefix(firstSemicolon);
  while (!rest.empty()) {
    rest.remove_prefix(1);  // the ";" in front of the parameter
    const std::size_t end = rest.find_first_of("=;");
    const std::string_view name = TrimOws(rest.substr(0, end));
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end);
    if (rest.front() == ';') continue;  // a parameter without a value
    rest.remove_prefix(1);
    while (!rest.empty() && IsOws(rest.front())) rest.remove_prefix(1);
    std::string value = ReadParameterValue(rest);
    if (EqualsIgnoreCase(name, "charset")) {
      if (value.empty()) return std::nullopt;
      return value;
    }
  }
  return std::nullopt;
}

}  // namespace veldrask
