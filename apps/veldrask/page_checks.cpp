#include "page_checks.h"

#include <algorithm>
#include <string>

#include "base/text.h"
#include "common/server_address.h"

namespace veldrask::host {
namespace {

bool IsDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

void CheckParamNames(const Options& options, const std::vector<std::string>& namesRead) {
  std::string known;
  for (const std::string& name : namesRead) known += (known.empty() ? "" : ", ") + name;
  for (const auto& [name, value] : options.params) {
    const std::string wanted = ToUpperAscii(name);
    const bool read = std::any_of(namesRead.begin(), namesRead.end(),
                                  [&](const std::string& n) { return ToUpperAscii(n) == wanted; });
    if (!read) {
      throw UsageError("--param " + name + ": the control has no parameter of that name (it has " +
                       known + ")");
    }
  }
}

void CheckHostName(std::string_view hostName, Command command) {
  std::string_view host = TrimSpaces(hostName);
  const std::size_t scheme = host.find("://");
  const bool isUrl = scheme != std::string_view::npos;
  if (isUrl) host.remove_prefix(scheme + 3);
  const std::size_t slash = host.find('/');
  const bool hasPath = slash != std::string_view::npos;
  std::string_view authority = host.substr(0, slash);
  // "[::1]:8080": the port follows the bracket.
  const std::size_t bracket = authority.rfind(']');
  const std::size_t colon = authority.rfind(':');
  const bool hasPort = colon != std::string_view::npos &&
                       (bracket == std::string_view::npos || colon > bracket) &&
                       IsDigits(authority.substr(colon + 1));
  // "https://host" is how a page asks for TLS: the advice keeps it.
  const bool secureHost = ParseServerAddress(hostName).transport == Transport::kTls;
  const std::string bare = (secureHost ? "https://" : "") +
                           std::string(hasPort ? authority.substr(0, colon) : authority);
  if (hasPort) {
    throw UsageError("HostName '" + std::string(hostName) +
                     "' holds a port, which the control takes from ServerPort alone: use "
                     "--param HostName=" +
                     bare + " --param ServerPort=" + std::string(authority.substr(colon + 1)));
  }
  if (command == Command::kDownload && ((isUrl && !secureHost) || hasPath)) {
    throw UsageError("HostName '" + std::string(hostName) +
                     "' is a URL, which downloads use as it stands: use --param HostName=" + bare);
  }
}

std::string SilentCloseHint(std::string_view hostName) {
  const ServerAddress server = ParseServerAddress(hostName);
  if (server.transport == Transport::kTls) return {};
  return " (a server that speaks only HTTPS closes a plain connection so; if it is one, use "
         "--param HostName=https://" +
         server.host + ")";
}

}  // namespace veldrask::host
