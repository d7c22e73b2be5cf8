#include "download/safe_file_name.h"

#include <array>

#include "base/text.h"

namespace veldrask {
namespace {

constexpr char kReplacement = '_';

bool IsControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

bool IsForbiddenEverywhere(char c) {
  return c == '/' || c == '\\' || c == ':' || IsControl(c);
}

bool IsForbiddenOnWindows(char c) {
  return c == '<' || c == '>' || c == '"' || c == '|' || c == '?' || c == '*';
}

// Names that Windows opens as devices in any folder, whatever extension follows them.
bool IsReservedDeviceName(std::string_view name) {
  std::string_view stem = name.substr(0, name.find('.'));
  while (stem.ends_with(' ')) stem.remove_suffix(1);
  const std::string upper = ToUpperAscii(stem);
  static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
  for (const std::string_view reserved : kPlain) {
    if (upper == reserved) return true;
  }
  return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
         upper[3] >= '1' && upper[3] <= '9';
}

}  // namespace

std::string SafeFileName(std::string_view name, std::string_view separator) {
  const bool windows = separator == "\\";
  std::string safe;
  safe.reserve(name.size());
  for (const char c : name) {
    const bool forbidden = IsForbiddenEverywhere(c) || (windows && IsForbiddenOnWindows(c));
    safe.push_back(forbidden ? kReplacement : c);
  }
  if (windows) {
    while (!safe.empty() && (safe.back() == '.' || safe.back() == ' ')) safe.pop_back();
    if (IsReservedDeviceName(safe)) safe.insert(safe.begin(), kReplacement);
  }
  if (safe.empty() || safe == "." || safe == "..") return std::string(kFallbackFileName);
  return safe;
}

std::string NumberedName(std::string_view name, std::int32_t k) {
  const std::size_t dot = name.find('.');
  const std::string_view base = name.substr(0, dot);
  const std::string_view extension =
      dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
  std::string numbered(base);
  numbered += "[";
  numbered += ToDecimal(k);
  numbered += "].";
  numbered += extension;
  return numbered;
}

}  // namespace veldrask
