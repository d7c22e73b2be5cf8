#include "support/hex.h"

#include <stdexcept>

namespace veldrask::testing {
namespace {

int HexDigitValue(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
  if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
  return -1;
}

bool IsUnreserved(unsigned char byte) {
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
         (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~';
}

}  // namespace

std::string ToHex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    hex.push_back(kDigits[byte >> 4]);
    hex.push_back(kDigits[byte & 0x0f]);
  }
  return hex;
}

std::string FromHex(std::string_view hex) {
  if (hex.size() % 2 != 0) throw std::invalid_argument("hex text of odd length");
  std::string bytes;
  bytes.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexDigitValue(hex[i]);
    const int low = HexDigitValue(hex[i + 1]);
    if (high < 0 || low < 0) throw std::invalid_argument("not a hex digit in " + std::string(hex));
    bytes.push_back(static_cast<char>(high << 4 | low));
  }
  return bytes;
}

std::string PercentEncodePath(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string encoded;
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsUnreserved(byte) || byte == '/') {
      encoded.push_back(c);
    } else {
      encoded.push_back('%');
      encoded.push_back(kDigits[byte >> 4]);
      encoded.push_back(kDigits[byte & 0x0f]);
    }
  }
  return encoded;
}

}  // namespace veldrask::testing
