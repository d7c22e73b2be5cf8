#include "control/boundary.h"

namespace veldrask {
namespace {

bool IsDigitOrLetter(int code) {
  return (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z') ||
         (code >= 'a' && code <= 'z');
}

}  // namespace

std::string MakeBoundary(std::int16_t length, Random& random) {
  std::string boundary;
  while (boundary.size() < static_cast<std::size_t>(length > 0 ? length : 0)) {
    // Draw from 0..126 and keep only digits and letters: uniform over those 62.
    const int code = static_cast<int>(random.Next() * 127);
    if (IsDigitOrLetter(code)) boundary += static_cast<char>(code);
  }
  return boundary;
}

}  // namespace veldrask
