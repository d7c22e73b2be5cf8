#include "base/text.h"

namespace veldrask {

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
  std::vector<std::string> pieces;
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = text.find(separator, start);
    if (at == std::string_view::npos) break;
    pieces.emplace_back(text.substr(start, at - start));
    start = at + separator.size();
  }
  pieces.emplace_back(text.substr(start));
  return pieces;
}

std::string_view TrimSpaces(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

std::string ToUpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

std::string_view AfterLast(std::string_view text, std::string_view separator) {
  const std::size_t at = text.rfind(separator);
  return at == std::string_view::npos ? text : text.substr(at + separator.size());
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string result;
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = text.find(from, start);
    if (at == std::string_view::npos) break;
    result.append(text, start, at - start);
    result += to;
    start = at + from.size();
  }
  result.append(text, start);
  return result;
}

char32_t NextCodePoint(std::string_view text, std::size_t& offset) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(offset);
  int length = 0;
  char32_t code = 0;
  if (lead < 0x80) {
    ++offset;
    return lead;
  }
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
    code = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    code = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    code = lead & 0x07;
  } else {
    ++offset;
    return U'\uFFFD';
  }
  if (offset + static_cast<std::size_t>(length) > text.size()) {
    ++offset;
    return U'\uFFFD';
  }
  for (int i = 1; i < length; ++i) {
    const unsigned char next = byte(offset + static_cast<std::size_t>(i));
    if ((next & 0xC0) != 0x80) {
      ++offset;
      return U'\uFFFD';
    }
    code = (code << 6) | (next & 0x3F);
  }
  static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kMinimum[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    ++offset;
    return U'\uFFFD';
  }
  offset += static_cast<std::size_t>(length);
  return code;
}

void AppendCodePoint(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool IsValidUtf8(std::string_view text) {
  std::size_t offset = 0;
  while (offset < text.size()) {
    const std::size_t before = offset;
    const char32_t code = NextCodePoint(text, offset);
    if (code == U'\uFFFD' && text.substr(before, 3) != "\xEF\xBF\xBD") return false;
  }
  return true;
}

std::string ShowableText(std::string_view text, bool keepLineBreaks) {
  std::string showable;
  showable.reserve(text.size());
  for (std::size_t offset = 0; offset < text.size();) {
    const bool lineBreak =
        text[offset] == '\n' || text[offset] == '\t' || text.substr(offset, 2) == "\r\n";
    if (keepLineBreaks && lineBreak) {
      showable += text[offset++];
      continue;
    }
    const char32_t code = NextCodePoint(text, offset);
    const bool control = code < 0x20 || (code >= 0x7F && code < 0xA0);
    AppendCodePoint(showable, control ? U'\uFFFD' : code);
  }
  return showable;
}

std::string ToDecimal(std::int64_t value) {
  return std::to_string(value);
}

}  // namespace veldrask
