#include "terminal_text.h"

#include <algorithm>
#include <optional>

#include "base/text.h"
#include "library_width.h"

namespace veldrask::host {
namespace {

bool IsWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) ||    // Hangul Jamo initials
         (c >= 0x2E80 && c <= 0x303E) ||    // CJK radicals, punctuation
         (c >= 0x3041 && c <= 0x33FF) ||    // kana, compatibility Jamo, CJK symbols
         (c >= 0x3400 && c <= 0x4DBF) ||    // CJK extension A
         (c >= 0x4E00 && c <= 0x9FFF) ||    // CJK ideographs
         (c >= 0xA000 && c <= 0xA4CF) ||    // Yi
         (c >= 0xAC00 && c <= 0xD7A3) ||    // Hangul syllables
         (c >= 0xF900 && c <= 0xFAFF) ||    // CJK compatibility ideographs
         (c >= 0xFE30 && c <= 0xFE4F) ||    // CJK compatibility forms
         (c >= 0xFF00 && c <= 0xFF60) ||    // full-width forms
         (c >= 0xFFE0 && c <= 0xFFE6) ||    // full-width signs
         (c >= 0x1F300 && c <= 0x1F64F) ||  // pictographs, emoticons
         (c >= 0x20000 && c <= 0x3FFFD);    // CJK extensions B and later
}

bool IsZeroWidth(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c < 0xA0) || (c >= 0x0300 && c <= 0x036F) ||
         (c >= 0x1160 && c <= 0x11FF) ||  // Hangul Jamo medials and finals join the initial
         c == 0x200B || (c >= 0xFE00 && c <= 0xFE0F);
}

// The C library's width where it knows the character (emoji and every script it has tables
// for), the table above otherwise.
std::size_t Columns(char32_t c) {
  if (IsZeroWidth(c)) return 0;
  if (const std::optional<std::size_t> known = LibraryColumns(c)) return *known;
  return IsWide(c) ? 2 : 1;
}

}  // namespace

std::size_t DisplayWidth(std::string_view text) {
  std::size_t width = 0;
  for (std::size_t offset = 0; offset < text.size();) width += Columns(NextCodePoint(text, offset));
  return width;
}

std::string FitToColumns(std::string_view text, std::size_t columns) {
  std::size_t width = 0;
  std::size_t offset = 0;
  while (offset < text.size()) {
    std::size_t next = offset;
    const std::size_t added = Columns(NextCodePoint(text, next));
    if (width + added > columns) break;
    width += added;
    offset = next;
  }
  return std::string(text.substr(0, offset));
}

std::string BarText(std::int32_t value, std::int32_t minimum, std::int32_t maximum,
                    std::size_t width) {
  std::size_t filled = 0;
  if (maximum > minimum) {
    const double fraction = (static_cast<double>(std::clamp(value, minimum, maximum)) - minimum) /
                            (static_cast<double>(maximum) - minimum);
    filled = std::min(width, static_cast<std::size_t>(fraction * static_cast<double>(width)));
  }
  return "[" + std::string(filled, '#') + std::string(width - filled, '.') + "]";
}

std::string TerminalLines(std::string_view text) {
  std::string lines;
  lines.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      lines.push_back(text[i]);
    } else if (i + 1 >= text.size() || text[i + 1] != '\n') {
      lines.push_back('\n');
    }
  }
  return lines;
}

}  // namespace veldrask::host
