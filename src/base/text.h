#pragma once

// Helpers on UTF-8 text, the form every string of the core takes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace veldrask {

inline constexpr std::string_view kCrLf = "\r\n";

// Splits at every occurrence of separator; an empty text gives one empty piece.
std::vector<std::string> Split(std::string_view text, std::string_view separator);

// Removes leading and trailing spaces (only the space character, as the control's own
// trimming does).
std::string_view TrimSpaces(std::string_view text);

// The value of a hexadecimal digit in either letter case; -1 for any other character.
inline int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Upper case for ASCII letters; other characters unchanged.
std::string ToUpperAscii(std::string_view text);

// The text after the last occurrence of separator, or the whole text when it holds none.
std::string_view AfterLast(std::string_view text, std::string_view separator);

bool Contains(std::string_view text, std::string_view part);

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// Decodes one code point at offset, advancing it. Invalid sequences give U+FFFD and
// advance by one byte.
char32_t NextCodePoint(std::string_view text, std::size_t& offset);

void AppendCodePoint(std::string& out, char32_t codePoint);

bool IsValidUtf8(std::string_view text);

// Text that came from the network, made safe to show: every control character (C0, DEL, C1)
// and every invalid byte becomes U+FFFD, so nothing a server sends can steer a terminal or
// break a message's lines. With keepLineBreaks, LF, CR LF and TAB stay as they are.
std::string ShowableText(std::string_view text, bool keepLineBreaks = false);

// Views text as the bytes it is made of.
inline std::span<const std::byte> AsBytes(std::string_view text) {
  return std::as_bytes(std::span<const char>(text.data(), text.size()));
}

// Views bytes as text.
inline std::string_view AsText(std::span<const std::byte> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// Decimal text of an integer.
std::string ToDecimal(std::int64_t value);

}  // namespace veldrask
