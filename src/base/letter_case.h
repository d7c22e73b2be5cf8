#pragma once

#include <string>
#include <string_view>

namespace veldrask {

// The upper-case letter of c, for the letters of the Korean ANSI code page and of Latin-1:
// ASCII, Latin-1 and Latin Extended-A, Greek, Cyrillic and the full-width Latin forms.
// Anything else is returned as it is.
char32_t ToUpperLetter(char32_t c);

// UTF-8 text with every such letter in upper case; invalid bytes become U+FFFD.
std::string ToUpperLetters(std::string_view text);

}  // namespace veldrask
