#include "page_checks.h"

#include <algorithm>
#include <string>

#include "base/text.h"
#include "common/server_address.h"
#include "upload/host_name.h"

namespace veldrask::host {
namespace {

bool IsDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// HostName taken apart as a page writes it: [scheme "://"] host [":" port] ["/" path].
struct WrittenHost {
  bool isUrl = false;
  bool hasPath = false;
  std::string_view host;  // without scheme, port and path
  std::string_view port;  // the digits after ":", empty when none
};

WrittenHost ReadHost(std::string_view hostName) {
  WrittenHost written;
  std::string_view rest = TrimSpaces(hostName);
  if (const std::size_t scheme = rest.find("://"); scheme != std::string_view::npos) {
    written.isUrl = true;
    rest.remove_prefix(scheme + 3);
  }
  const std::size_t slash = rest.find('/');
  written.hasPath = slash != std::string_view::npos;
  written.host = rest.substr(0, slash);
  // "[::1]:8080": the port follows the bracket; a bare "::1" has none.
  const std::size_t bracket = written.host.rfind(']');
  const std::size_t colon = written.host.rfind(':');
  const bool portColon = bracket == std::string_view::npos
                             ? colon != std::string_view::npos && colon == written.host.find(':')
                             : colon != std::string_view::npos && colon > bracket;
  if (portColon && IsDigits(written.host.substr(colon + 1))) {
    written.port = written.host.substr(colon + 1);
    written.host = written.host.substr(0, colon);
  }
  return written;
}

// The digits as a number, or -1 past any port (never equal to a ServerPort then).
std::int32_t PortNumber(std::string_view digits) {
  std::int32_t number = 0;
  for (const char digit : digits) {
    number = number * 10 + (digit - '0');
    if (number > 65535) return -1;
  }
  return number;
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

std::string CheckHostName(std::string_view hostName, std::int32_t serverPort, Command command) {
  const WrittenHost written = ReadHost(hostName);
  // "https://host" is how a page asks for TLS: the advice keeps it.
  const bool secure = ParseServerAddress(hostName).transport == Transport::kTls;
  const std::string bare = (secure ? "https://" : "") + std::string(written.host);
  const WrittenHost used =
      command == Command::kUpload ? ReadHost(NormalizeHostName(hostName)) : written;
  if (!used.port.empty()) {
    throw UsageError("HostName '" + std::string(hostName) +
                     "' holds a port, which the control takes from ServerPort alone: use "
                     "--param HostName=" +
                     bare + " --param ServerPort=" + std::string(used.port));
  }
  if (command == Command::kDownload && ((written.isUrl && !secure) || written.hasPath)) {
    throw UsageError("HostName '" + std::string(hostName) +
                     "' is a URL, which downloads use as it stands: use --param HostName=" + bare);
  }
  if (written.port.empty() || PortNumber(written.port) == serverPort) return {};
  return "veldrask: notice: HostName '" + std::string(hostName) + "' names port " +
         std::string(written.port) + ", but the control connects to ServerPort " +
         std::to_string(serverPort) + "; if the server listens on " + std::string(written.port) +
         ", add --param ServerPort=" + std::string(written.port);
}

void CheckServerParams(std::string_view hostName, std::string_view actionUrl, Command command) {
  if (TrimSpaces(hostName).empty()) {
    throw UsageError("no server: give --url URL, or --param HostName=HOST (and ServerPort)");
  }
  if (command != Command::kUpload) return;
  if (actionUrl.empty()) {
    throw UsageError("no ActionURL: give --url URL, or --param ActionURL=/path/of/the/script");
  }
  if (!actionUrl.starts_with('/')) {
    throw UsageError("ActionURL '" + std::string(actionUrl) +
                     "' must start with \"/\": use --param ActionURL=/" + std::string(actionUrl));
  }
}

std::string ParamLoadNote(std::string_view name, const Error& error) {
  if (ToUpperAscii(name) != "SERVERPORT" || !error.Is(ErrorNumber::kOverflow)) return {};
  return " (the control's ServerPort is a 16-bit signed number: ports 1 to 32767)";
}

std::string SilentCloseHint(std::string_view hostName) {
  const ServerAddress server = ParseServerAddress(hostName);
  if (server.transport == Transport::kTls) return {};
  return " (a server that speaks only HTTPS closes a plain connection so; if it is one, use "
         "--param HostName=https://" +
         server.host + ")";
}

}  // namespace veldrask::host
