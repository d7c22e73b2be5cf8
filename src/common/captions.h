#pragma once

// Texts of the summary labels, shared by the property writers and the upload queue.

#include <cstdint>
#include <string>

#include "base/number_format.h"
#include "base/text.h"

namespace veldrask {

// "3 개 (최대 5 개)"
inline std::string FileCountCaption(std::int16_t count, std::int16_t maximum) {
  return ToDecimal(count) + " 개 (최대 " + ToDecimal(maximum) + " 개)";
}

// "1,024 KB"
inline std::string KilobyteCaption(double kilobytes, const NumberStyle& style) {
  return FormatN0(kilobytes, style) + " KB";
}

}  // namespace veldrask
