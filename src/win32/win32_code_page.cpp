#include "win32/win32_code_page.h"

#include <optional>

#include "base/text.h"
#include "win32/wide_text.h"
#include "win32/windows_api.h"

namespace veldrask::win32 {
namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// The whole of wide in the code page; nullopt when some character is not in it.
std::optional<std::string> EncodeExactly(unsigned codePage, std::wstring_view wide) {
  if (wide.empty()) return std::string();
  const int length = static_cast<int>(wide.size());
  BOOL usedDefault = FALSE;
  const int needed = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), length,
                                         nullptr, 0, nullptr, &usedDefault);
  if (needed <= 0 || usedDefault) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), length, bytes.data(), needed,
                      nullptr, nullptr);
  return bytes;
}

// The whole of bytes as UTF-16; nullopt when some sequence is not a character.
std::optional<std::wstring> DecodeExactly(unsigned codePage, std::string_view bytes) {
  if (bytes.empty()) return std::wstring();
  const int length = static_cast<int>(bytes.size());
  const int needed =
      MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
  if (needed <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, wide.data(), needed);
  return wide;
}

}  // namespace

Win32CodePage::Win32CodePage(unsigned codePage)
    : codePage_(codePage), name_("CP" + ToDecimal(codePage)) {}

std::string Win32CodePage::Encode(std::string_view utf8) const {
  if (std::optional<std::string> whole = EncodeExactly(codePage_, Widen(utf8))) return *whole;
  // Character by character, so that each one the code page lacks (a pair of surrogates
  // included) becomes a single "?".
  std::string out;
  for (std::size_t offset = 0; offset < utf8.size();) {
    std::string character;
    AppendCodePoint(character, NextCodePoint(utf8, offset));
    const std::optional<std::string> bytes = EncodeExactly(codePage_, Widen(character));
    out += bytes ? *bytes : "?";
  }
  return out;
}

std::string Win32CodePage::Decode(std::string_view bytes) const {
  if (std::optional<std::wstring> whole = DecodeExactly(codePage_, bytes)) return Narrow(*whole);
  // A lead byte with its trail byte, or one byte alone; what is not a character becomes
  // U+FFFD and the next byte is tried.
  std::string out;
  for (std::size_t offset = 0; offset < bytes.size();) {
    const auto byte = static_cast<BYTE>(bytes[offset]);
    if (offset + 1 < bytes.size() && IsDBCSLeadByteEx(codePage_, byte)) {
      if (const auto pair = DecodeExactly(codePage_, bytes.substr(offset, 2))) {
        out += Narrow(*pair);
        offset += 2;
        continue;
      }
    } else if (const auto single = DecodeExactly(codePage_, bytes.substr(offset, 1))) {
      out += Narrow(*single);
      ++offset;
      continue;
    }
    AppendCodePoint(out, kReplacementCharacter);
    ++offset;
  }
  return out;
}

}  // namespace veldrask::win32
