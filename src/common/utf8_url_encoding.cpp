#include "common/utf8_url_encoding.h"

#include "base/error.h"
#include "base/text.h"
#include "common/url_encoding.h"

namespace veldrask {
namespace {

bool StaysUnescaped(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::string UrlDecodeUtf8(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      bytes += text[i];
      continue;
    }
    const int high = i + 1 < text.size() ? HexDigitValue(text[i + 1]) : -1;
    const int low = i + 2 < text.size() ? HexDigitValue(text[i + 2]) : -1;
    if (high < 0 || low < 0) throw Error(ErrorNumber::kTypeMismatch);
    bytes += static_cast<char>(high * 16 + low);
    i += 2;
  }
  if (IsValidUtf8(bytes)) return bytes;
  std::string valid;
  for (std::size_t offset = 0; offset < bytes.size();) {
    AppendCodePoint(valid, NextCodePoint(bytes, offset));
  }
  return valid;
}

std::string UrlEncodeUtf8(std::string_view text) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string encoded;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (StaysUnescaped(byte)) {
      encoded += c;
    } else if (c == ' ') {
      encoded += '+';
    } else {
      encoded += '%';
      encoded += kDigits[byte >> 4];
      encoded += kDigits[byte & 0xF];
    }
  }
  return encoded;
}

std::string DecodeServerPath(std::string_view path, const CodePage& ansi, bool utf8) {
  return utf8 ? UrlDecodeUtf8(path) : UrlDecode(path, ansi);
}

}  // namespace veldrask
