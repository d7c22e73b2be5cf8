#include "base/letter_case.h"

#include "base/text.h"

namespace veldrask {

char32_t ToUpperLetter(char32_t c) {
  if (c >= U'a' && c <= U'z') return c - 0x20;
  if (c < 0x80) return c;
  // Latin-1: à..þ but the division sign; ÿ has its capital in Latin Extended-A.
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  if (c == 0xFF) return 0x178;
  // Latin Extended-A pairs capital and small letters, in two runs of different parity; the
  // dotless ı is the capital I's small letter, ĸ and ŉ have no capital, ſ is a long s.
  if (c == 0x131) return U'I';
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return c & ~char32_t{1};
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return c % 2 == 0 ? c - 1 : c;
  if (c == 0x17F) return U'S';
  // Greek: α..ω, with the final sigma ς as Σ.
  if (c == 0x3C2) return 0x3A3;
  if (c >= 0x3B1 && c <= 0x3C9) return c - 0x20;
  // Cyrillic: а..я, and ѐ..џ.
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  // Full-width ａ..ｚ.
  if (c >= 0xFF41 && c <= 0xFF5A) return c - 0x20;
  return c;
}

std::string ToUpperLetters(std::string_view text) {
  std::string upper;
  upper.reserve(text.size());
  for (std::size_t offset = 0; offset < text.size();) {
    AppendCodePoint(upper, ToUpperLetter(NextCodePoint(text, offset)));
  }
  return upper;
}

}  // namespace veldrask
