#include "korean_charsets.h"

#include <libxml/encoding.h>
#include <windows.h>

#include <string>

namespace veldrask::host {
namespace {

constexpr UINT kKorean = 949;
// The most bytes of UTF-8 one character of code page 949 becomes.
constexpr int kUtf8PerCharacter = 3;

// The width of the character at in[0] in code page 949.
int CharacterWidth(const unsigned char* in) {
  return in[0] >= 0x80 && IsDBCSLeadByteEx(kKorean, in[0]) ? 2 : 1;
}

// Bytes of code page 949 as UTF-8 into out (room for it is checked by the caller); -1 when
// they are not all characters of the code page.
int ToUtf8(const unsigned char* in, int length, unsigned char* out, int room) {
  const auto* bytes = reinterpret_cast<const char*>(in);
  const int wideLength =
      MultiByteToWideChar(kKorean, MB_ERR_INVALID_CHARS, bytes, length, nullptr, 0);
  if (wideLength == 0) return -1;
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(kKorean, MB_ERR_INVALID_CHARS, bytes, length, wide.data(), wideLength);
  return WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, reinterpret_cast<char*>(out),
                             room, nullptr, nullptr);
}

// Code page 949 to UTF-8, whole characters only: a lead byte at the end of a piece waits for
// the next one. Returns the bytes written, or -2 for bytes the code page does not hold, with
// the characters before them converted, so the parser names the bytes and the line where
// they are, as iconv lets it on POSIX.
int FromKorean(unsigned char* out, int* outLength, const unsigned char* in, int* inLength) {
  int taken = 0;
  int room = *outLength;
  while (taken < *inLength && room >= kUtf8PerCharacter) {
    const int width = CharacterWidth(in + taken);
    if (taken + width > *inLength) break;
    taken += width;
    room -= kUtf8PerCharacter;
  }
  if (taken == 0) {
    *inLength = 0;
    *outLength = 0;
    return 0;
  }
  const int written = ToUtf8(in, taken, out, *outLength);
  if (written >= 0) {
    *inLength = taken;
    *outLength = written;
    return written;
  }
  int valid = 0;
  while (valid < taken) {
    const int width = CharacterWidth(in + valid);
    unsigned char probe[kUtf8PerCharacter * 2];
    if (ToUtf8(in + valid, width, probe, static_cast<int>(sizeof probe)) < 0) break;
    valid += width;
  }
  *inLength = valid;
  *outLength = valid == 0 ? 0 : ToUtf8(in, valid, out, *outLength);
  return -2;
}

constexpr const char* kAliases[] = {"EUC-KR",        "EUCKR",          "UHC",     "WINDOWS-949",
                                    "X-WINDOWS-949", "KS_C_5601-1987", "KSC5601", "KS_C_5601"};

}  // namespace

void RegisterKoreanCharsets() {
  static const bool registered = [] {
    xmlRegisterCharEncodingHandler(xmlNewCharEncodingHandler("CP949", FromKorean, nullptr));
    for (const char* alias : kAliases) xmlAddEncodingAlias("CP949", alias);
    return true;
  }();
  (void)registered;
}

}  // namespace veldrask::host
