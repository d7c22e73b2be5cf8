#include "download/download_request.h"

#include "base/text.h"

namespace veldrask {
namespace {

bool IsControlOrSpace(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte <= 0x20 || byte == 0x7F;
}

}  // namespace

std::string EscapeRequestTarget(std::string_view key) {
  static constexpr std::string_view kHex = "0123456789ABCDEF";
  std::string target;
  target.reserve(key.size());
  for (const char c : key) {
    if (!IsControlOrSpace(c)) {
      target.push_back(c);
      continue;
    }
    const auto byte = static_cast<unsigned char>(c);
    target.push_back('%');
    target.push_back(kHex[byte >> 4]);
    target.push_back(kHex[byte & 0x0F]);
  }
  return target;
}

bool IsSendableHostName(std::string_view host) {
  for (const char c : host) {
    if (c != ' ' && IsControlOrSpace(c)) return false;
  }
  return true;
}

std::string DownloadRequestText(std::string_view key, std::string_view host) {
  std::string request = "GET ";
  request += EscapeRequestTarget(key);
  request += " HTTP/1.1";
  request += kCrLf;
  request += "Host: ";
  request += host;
  request += kCrLf;
  request += "Connect: close";
  request += kCrLf;
  request += "Accept: */*";
  request += kCrLf;
  request += kCrLf;
  return request;
}

}  // namespace veldrask
