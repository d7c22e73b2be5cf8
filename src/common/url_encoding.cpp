#include "common/url_encoding.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "base/error.h"
#include "base/text.h"

namespace veldrask {
namespace {

constexpr std::uint32_t kQuestionMark = 63;

// All of digits as one hexadecimal number; no digit at all is as bad as a wrong one.
std::uint32_t ReadHex(std::string_view digits) {
  if (digits.empty()) throw Error(ErrorNumber::kTypeMismatch);
  std::uint32_t value = 0;
  for (const char c : digits) {
    const int digit = HexDigitValue(c);
    if (digit < 0) throw Error(ErrorNumber::kTypeMismatch);
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return value;
}

// The code page bytes of a code: two for a double-byte code, one below 256.
std::string CodeBytes(std::uint32_t code) {
  std::string bytes;
  if (code >= 256) bytes += static_cast<char>(code >> 8);
  bytes += static_cast<char>(code & 0xFF);
  return bytes;
}

bool StaysUnescaped(std::uint32_t code) {
  return (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z') ||
         (code >= 'a' && code <= 'z');
}

void AppendUpperHex(std::string& out, std::uint32_t value, int minDigits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string digits;
  do {
    digits.insert(digits.begin(), kDigits[value % 16]);
    value /= 16;
  } while (value != 0);
  while (digits.size() < static_cast<std::size_t>(minDigits)) digits.insert(digits.begin(), '0');
  out += digits;
}

}  // namespace

std::string UrlDecode(std::string_view text, const CodePage& ansi) {
  std::string result;
  result.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '%') {
      const std::size_t escape = std::min(text.find('%', i), text.size());
      result.append(text.substr(i, escape - i));
      i = escape;
      continue;
    }
    const std::uint32_t single = ReadHex(text.substr(i + 1, 2));
    if (single <= 127) {
      result += static_cast<char>(single);
      i += 3;
      continue;
    }
    // A lead byte: the trail byte's escape is expected within the next five characters.
    std::string digits;
    for (const char c : text.substr(i + 1, 5)) {
      if (c != '%') digits += c;
    }
    if (digits.size() > 4) throw Error(ErrorNumber::kTypeMismatch);
    result += ansi.Decode(CodeBytes(ReadHex(digits)));
    i += 6;
  }
  return result;
}

std::string UrlEncode(std::string_view text, const CodePage& ansi) {
  std::string result;
  result.reserve(text.size());
  std::size_t offset = 0;
  while (offset < text.size()) {
    std::string character;
    AppendCodePoint(character, NextCodePoint(text, offset));
    const std::string bytes = ansi.Encode(character);
    std::uint32_t code = kQuestionMark;
    int digits = 1;
    if (bytes.size() == 1) {
      code = static_cast<unsigned char>(bytes[0]);
    } else if (bytes.size() == 2) {
      code = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[0])) << 8 |
             static_cast<unsigned char>(bytes[1]);
      digits = 4;
    }
    if (digits == 1 && StaysUnescaped(code)) {
      result += static_cast<char>(code);
    } else if (digits == 1 && code == ' ') {
      result += '+';
    } else {
      result += '%';
      AppendUpperHex(result, code, digits);
    }
  }
  return result;
}

}  // namespace veldrask
