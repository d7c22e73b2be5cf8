#pragma once

// Text measured and cut in terminal columns, and the text form of a progress bar.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace veldrask::host {

// Columns a terminal gives the UTF-8 text, as the C library's wcwidth counts them: two for
// Hangul, CJK, full-width forms and emoji, none for combining marks and controls, one for
// the rest.
std::size_t DisplayWidth(std::string_view text);

// The longest prefix of text, in whole characters, that fits columns.
std::string FitToColumns(std::string_view text, std::size_t columns);

// "[#####.....]" with width cells inside the brackets, filled as value lies between minimum
// and maximum (clamped; an empty range shows empty).
std::string BarText(std::int32_t value, std::int32_t minimum, std::int32_t maximum,
                    std::size_t width);

// Line breaks of a message box (CR LF, or a lone CR) as the terminal's LF.
std::string TerminalLines(std::string_view text);

}  // namespace veldrask::host
