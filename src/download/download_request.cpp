#include "download/download_request.h"

#include "base/text.h"

namespace veldrask {
namespace {

constexpr std::string_view kHex = "0123456789ABCDEF";

bool IsControlOrSpace(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte <= 0x20 || byte == 0x7F;
}

}  // namespace

std::string PercentEncodeNonAscii(std::string_view bytes) {
  std::string encoded;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      encoded.push_back(c);
      continue;
    }
    encoded.push_back('%');
    encoded.push_back(kHex[byte >> 4]);
    encoded.push_back(kHex[byte & 0x0F]);
  }
  return encoded;
}

std::optional<std::string> RequestTargetBytes(std::string_view key, const CodePage& ansi,
                                              bool utf8Fallback) {
  std::string encoded = ansi.Encode(key);
  if (ansi.Decode(encoded) == key) return encoded;
  if (!utf8Fallback) return std::nullopt;
  return PercentEncodeNonAscii(key);
}

std::string EscapeRequestTarget(std::string_view key) {
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

std::string DownloadRequestText(std::string_view target, std::string_view host,
                                std::span<const std::string> extraHeaders) {
  std::string request = "GET ";
  request += EscapeRequestTarget(target);
  request += " HTTP/1.1";
  request += kCrLf;
  request += "Host: ";
  request += host;
  request += kCrLf;
  request += "Connect: close";
  request += kCrLf;
  request += "Accept: */*";
  request += kCrLf;
  for (const std::string& line : extraHeaders) {
    if (!IsSendableHostName(line)) continue;
    request += line;
    request += kCrLf;
  }
  request += kCrLf;
  return request;
}

}  // namespace veldrask
