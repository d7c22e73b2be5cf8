#include "korean_charsets.h"

#include <libxml/encoding.h>
#include <windows.h>

#include <string>

namespace veldrask::host {
namespace {

constexpr UINT kKorean = 949;
// The most bytes of UTF-8 one character of code page 949 becomes.
constexpr int kUtf8PerCharacter = 3;

// Code page 949 to UTF-8, whole characters only: a lead byte at the end of a piece waits for
// the next one. Returns the bytes written, or -2 for bytes the code page does not hold.
int FromKorean(unsigned char* out, int* outLength, const unsigned char* in, int* inLength) {
  int taken = 0;
  int room = *outLength;
  while (taken < *inLength && room >= kUtf8PerCharacter) {
    const int width = in[taken] >= 0x80 && IsDBCSLeadByteEx(kKorean, in[taken]) ? 2 : 1;
    if (taken + width > *inLength) break;
    taken += width;
    room -= kUtf8PerCharacter;
  }
  if (taken == 0) {
    *inLength = 0;
    *outLength = 0;
    return 0;
  }
  const auto* bytes = reinterpret_cast<const char*>(in);
  const int wideLength =
      MultiByteToWideChar(kKorean, MB_ERR_INVALID_CHARS, bytes, taken, nullptr, 0);
  if (wideLength == 0) return -2;
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(kKorean, MB_ERR_INVALID_CHARS, bytes, taken, wide.data(), wideLength);
  const int written =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, reinterpret_cast<char*>(out),
                          *outLength, nullptr, nullptr);
  *inLength = taken;
  *outLength = written;
  return written;
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
