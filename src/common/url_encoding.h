#pragma once

// The control's URL text conversions (the page-visible URLDecode and URLEncode). They are
// deliberately not inverse to each other: the encoder writes a double-byte character as one
// "%" and four digits (%B0A1), while the decoder expects two escapes (%B0%A1) and, given the
// encoder's form, reads one character more than it should.

#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace veldrask {

// Replaces percent escapes by characters; every other character, "+" included, is copied.
//
// "%" and two characters: hexadecimal v (fewer characters at the end of the text: "%4" at
// the end is the character 4). v <= 127 gives that ASCII character and the walk goes on
// after the two digits. v >= 128 is a lead byte: the five characters after the "%" (fewer
// at the end), with every "%" removed, are read as one hexadecimal number w of at most four
// digits, and the walk goes on six characters after the "%". w >= 256 is the double-byte
// code lead = w >> 8, trail = w & 0xFF ("B0A" counts as 0B0A, so three digits give a lead
// byte below 16); a smaller w is a single byte. Either is converted with ansi.Decode, which
// turns a sequence that is no character into U+FFFD.
//
// Raises Error(kTypeMismatch) when a read character is not a hexadecimal digit (a "%" at the
// very end included) or when more than four digits remain for w.
//
// Positions count characters. Every character that an escape reads must be an ASCII digit,
// letter or "%", so counting bytes of the UTF-8 text gives the same result; the walk does
// that, and bytes outside escapes (invalid UTF-8 included) are copied unchanged.
std::string UrlDecode(std::string_view text, const CodePage& ansi);

// Keeps ASCII letters and digits, turns the space into "+" and escapes every other
// character by its code in ansi: "%" and upper-case hexadecimal without leading zeros for a
// one-byte code (tab -> %9), "%" and four digits for a two-byte code (가 -> %B0A1). A
// character that has no code of one or two bytes counts as "?" (%3F). A character outside
// the Basic Multilingual Plane is one character here and gives one escape (a UTF-16 walk
// would see two halves, neither of them representable).
std::string UrlEncode(std::string_view text, const CodePage& ansi);

}  // namespace veldrask
