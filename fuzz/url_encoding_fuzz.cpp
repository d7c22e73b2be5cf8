// UrlDecode and UrlEncode over any text with the CP949 code page: decoding fails only with a
// type mismatch and counts characters as the byte walk does; encoding never fails and writes
// only URL-safe ASCII.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "base/text.h"
#include "common/url_encoding.h"
#include "fuzz_check.h"
#include "posix/iconv_code_page.h"

namespace veldrask::fuzz {
namespace {

const CodePage& Cp949() {
  static const posix::IconvCodePage codePage("CP949");
  return codePage;
}

bool IsUpperHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

bool IsAsciiAlphanumeric(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The decoder as its contract reads, walking characters rather than bytes; nullopt for a type
// mismatch.
std::optional<std::string> DecodeByCharacters(std::string_view text, const CodePage& ansi) {
  std::vector<char32_t> chars;
  for (std::size_t offset = 0; offset < text.size();) chars.push_back(NextCodePoint(text, offset));
  const auto hex = [&](std::size_t from, std::size_t count) -> std::optional<std::uint32_t> {
    std::uint32_t value = 0;
    std::size_t digits = 0;
    for (std::size_t i = from; i < chars.size() && i < from + count; ++i) {
      if (chars[i] == U'%' && count == 5) continue;
      const char32_t c = chars[i];
      std::uint32_t digit = 0;
      if (c >= U'0' && c <= U'9') {
        digit = c - U'0';
      } else if (c >= U'A' && c <= U'F') {
        digit = c - U'A' + 10;
      } else if (c >= U'a' && c <= U'f') {
        digit = c - U'a' + 10;
      } else {
        return std::nullopt;
      }
      value = value * 16 + digit;
      ++digits;
    }
    if (digits == 0 || digits > 4) return std::nullopt;
    return value;
  };
  std::string out;
  for (std::size_t i = 0; i < chars.size();) {
    if (chars[i] != U'%') {
      AppendCodePoint(out, chars[i++]);
      continue;
    }
    const std::optional<std::uint32_t> single = hex(i + 1, 2);
    if (!single) return std::nullopt;
    if (*single <= 127) {
      out += static_cast<char>(*single);
      i += 3;
      continue;
    }
    const std::optional<std::uint32_t> code = hex(i + 1, 5);
    if (!code) return std::nullopt;
    std::string bytes;
    if (*code >= 256) bytes += static_cast<char>(*code >> 8);
    bytes += static_cast<char>(*code & 0xFF);
    out += ansi.Decode(bytes);
    i += 6;
  }
  return out;
}

void CheckDecode(std::string_view text) {
  std::optional<std::string> decoded;
  try {
    decoded = UrlDecode(text, Cp949());
  } catch (const Error& error) {
    Check(error.Is(ErrorNumber::kTypeMismatch), "UrlDecode fails only with a type mismatch");
  }
  if (text.find('%') == std::string_view::npos) {
    Check(decoded == std::string(text), "text without escapes decodes to itself");
  }
  if (IsValidUtf8(text)) {
    Check(decoded == DecodeByCharacters(text, Cp949()),
          "walking bytes decodes as walking characters");
  }
}

void CheckEncode(std::string_view text) {
  const std::string encoded = UrlEncode(text, Cp949());
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    const char c = encoded[i];
    Check(IsAsciiAlphanumeric(c) || c == '+' || c == '%', "UrlEncode writes only URL-safe ASCII");
    if (c == '%') {
      Check(i + 1 < encoded.size() && IsUpperHexDigit(encoded[i + 1]),
            "an escape has upper-case hexadecimal digits");
    }
  }
  // Characters from 0x10 to 0x7F escape as two digits, the form the decoder reads; the space
  // becomes "+", which the decoder keeps.
  bool twoDigitAscii = true;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    twoDigitAscii = twoDigitAscii && byte >= 0x10 && byte < 0x80;
  }
  if (twoDigitAscii) {
    Check(UrlDecode(encoded, Cp949()) == ReplaceAll(text, " ", "+"),
          "ASCII text comes back from encode and decode");
  }
}

}  // namespace
}  // namespace veldrask::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  veldrask::fuzz::CheckDecode(text);
  veldrask::fuzz::CheckEncode(text);
  return 0;
}
