#include "request_options.h"

#include <algorithm>
#include <cstdint>

#include "base/text.h"
#include "http/field_text.h"
#include "proxy_option.h"

namespace veldrask::host {
namespace {

// The characters of a field name (RFC 9110's token).
bool IsTokenCharacter(char c) {
  constexpr std::string_view kMarks = "!#$%&'*+-.^_`|~";
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         kMarks.find(c) != std::string_view::npos;
}

}  // namespace

std::string CheckedHeaderLine(std::string_view given, Command command) {
  const std::string option = "-H '" + std::string(given) + "'";
  const std::size_t colon = given.find(':');
  if (colon == std::string_view::npos || colon == 0) {
    throw UsageError(option + ": not a 'Name: value' header");
  }
  const std::string_view name = given.substr(0, colon);
  for (const char c : name) {
    if (!IsTokenCharacter(c)) throw UsageError(option + ": the name holds '" + c + "'");
  }
  for (const char c : given) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && c != '\t') || byte >= 0x7f) {
      throw UsageError(option +
                       ": a header holds neither line breaks nor other control characters, and "
                       "only ASCII (percent-encode or base64 anything else)");
    }
  }
  if (given.substr(colon + 1).find_first_not_of(" \t") == std::string_view::npos) {
    throw UsageError(option + ": an empty value (the control's own headers cannot be removed)");
  }
  for (const std::string_view framing : {"Host", "Content-Length", "Transfer-Encoding"}) {
    if (http_text::EqualsIgnoreCase(name, framing)) {
      throw UsageError(option + ": the control writes " + std::string(framing) +
                       " itself; another would change how the server reads the request");
    }
  }
  if (command == Command::kUpload && http_text::EqualsIgnoreCase(name, "Content-Type")) {
    throw UsageError(option + ": an upload's Content-Type carries the form's boundary");
  }
  if (http_text::EqualsIgnoreCase(name, "Cookie"))
    throw UsageError(option + ": give the cookie with --cookie");
  return std::string(given);
}

std::string Base64(std::string_view bytes) {
  constexpr std::string_view kDigits =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
    std::uint32_t group = 0;
    for (std::size_t j = 0; j < 3; ++j) {
      group <<= 8;
      if (j < count) group |= static_cast<unsigned char>(bytes[i + j]);
    }
    for (std::size_t j = 0; j < 4; ++j) {
      text += j <= count ? kDigits[(group >> (18 - 6 * j)) & 0x3f] : '=';
    }
  }
  return text;
}

std::string BasicAuthorizationLine(std::string_view user) {
  if (user.find(':') == std::string_view::npos) {
    throw UsageError("-u: give NAME:PASSWORD (there is no prompt for the password)");
  }
  return "Authorization: Basic " + Base64(user);
}

HostOptions HostOptionsOf(const Options& options) {
  HostOptions host{.fileFieldName = options.fileField,
                   .extraHeaders = {},
                   .keepGoing = options.keepGoing,
                   .redirectLimit = options.followRedirects ? options.maxRedirects : 0,
                   .httpProxy = {},
                   .httpsProxy = {},
                   .noProxy = {}};
  ApplyProxies(options, ProcessEnvironment, host);
  for (const std::string& header : options.headers) {
    host.extraHeaders.push_back(CheckedHeaderLine(header, options.command));
  }
  if (options.user) {
    for (const std::string& line : host.extraHeaders) {
      if (http_text::EqualsIgnoreCase(line.substr(0, line.find(':')), "Authorization")) {
        throw UsageError("-u and -H 'Authorization: ...' both give the credentials: give one");
      }
    }
    host.extraHeaders.push_back(BasicAuthorizationLine(*options.user));
  }
  return host;
}

}  // namespace veldrask::host
