#include "common/server_address.h"

#include <algorithm>

namespace veldrask {
namespace {

constexpr std::string_view kSecureScheme = "https://";

bool SameLetterCase(char a, char b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  return lower(a) == lower(b);
}

}  // namespace

ServerAddress ParseServerAddress(std::string_view hostName) {
  if (hostName.size() >= kSecureScheme.size() &&
      std::equal(kSecureScheme.begin(), kSecureScheme.end(), hostName.begin(), SameLetterCase)) {
    return {Transport::kTls, std::string(hostName.substr(kSecureScheme.size()))};
  }
  return {Transport::kPlain, std::string(hostName)};
}

}  // namespace veldrask
