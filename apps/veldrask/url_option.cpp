#include "url_option.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "http/field_text.h"

namespace veldrask::host {
namespace {

bool SameServer(const ServerUrl& a, const ServerUrl& b) {
  return a.secure == b.secure && http_text::EqualsIgnoreCase(a.host, b.host) && a.port == b.port;
}

// name on url's server: a path as it is, a relative name from the URL's folder.
std::string ResolveName(const ServerUrl& url, const std::string& name) {
  if (name.starts_with('/')) return name;
  const std::string path = url.target.substr(0, url.target.find('?'));
  return path.substr(0, path.rfind('/') + 1) + name;
}

}  // namespace

bool LooksLikeUrl(std::string_view argument) {
  return http_text::StartsWithIgnoreCase(argument, "http://") ||
         http_text::StartsWithIgnoreCase(argument, "https://");
}

ServerUrl ParseServerUrl(std::string_view text, std::string_view option) {
  const std::string said = std::string(option) + " '" + std::string(text) + "': ";
  ServerUrl url;
  if (http_text::StartsWithIgnoreCase(text, "https://")) {
    url.secure = true;
    url.port = 443;
    text.remove_prefix(8);
  } else if (http_text::StartsWithIgnoreCase(text, "http://")) {
    text.remove_prefix(7);
  } else {
    throw UsageError(said + "not an http:// or https:// URL");
  }
  if (std::any_of(text.begin(), text.end(),
                  [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == 0x7f; })) {
    throw UsageError(said + "spaces and control characters must be percent-encoded");
  }
  text = text.substr(0, text.find('#'));
  const std::size_t targetStart = text.find_first_of("/?");
  std::string_view authority = text.substr(0, targetStart);
  if (targetStart != std::string_view::npos) {
    url.target = std::string(text.substr(targetStart));
    if (url.target.starts_with('?')) url.target.insert(0, "/");
  }
  if (authority.find('@') != std::string_view::npos) {
    throw UsageError(said + "names a user, which the control cannot send");
  }
  if (authority.starts_with('[')) {
    throw UsageError(said + "an IPv6 address, which the control's HostName cannot hold");
  }
  if (const std::size_t colon = authority.find(':'); colon != std::string_view::npos) {
    const std::string_view digits = authority.substr(colon + 1);
    std::int32_t port = 0;
    const auto [stop, error] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
    if (digits.empty() || error != std::errc() || stop != digits.data() + digits.size() ||
        port < 1 || port > std::numeric_limits<std::int16_t>::max()) {
      throw UsageError(said +
                       "the port must be 1 to 32767: the control's ServerPort is a 16-bit "
                       "signed number");
    }
    url.port = port;
    authority = authority.substr(0, colon);
  }
  if (authority.empty()) throw UsageError(said + "no host");
  url.host = std::string(authority);
  return url;
}

void ApplyServerUrl(Options& options) {
  if (options.command == Command::kUpload) {
    for (const std::string& file : options.files) {
      if (LooksLikeUrl(file)) {
        throw UsageError("upload: '" + file +
                         "' is a URL: give the server with --url URL and name local FILEs");
      }
    }
  }
  std::optional<ServerUrl> server;
  if (options.url) server = ParseServerUrl(*options.url, "--url");
  if (options.command == Command::kDownload) {
    for (NamedSize& file : options.downloads) {
      if (!LooksLikeUrl(file.name)) {
        if (server) file.name = ResolveName(*server, file.name);
        continue;
      }
      if (!server) {
        throw UsageError("download: '" + file.name +
                         "' is a URL: use --url SERVER-URL with the NAMEs as paths on it");
      }
      const ServerUrl named = ParseServerUrl(file.name, "download");
      if (!SameServer(named, *server)) {
        throw UsageError("download: '" + file.name + "' is not on the --url server");
      }
      file.name = named.target;
    }
  }
  if (!server) return;
  for (const auto& [name, value] : options.params) {
    for (const char* set : {"HostName", "ServerPort", "ActionURL"}) {
      if (http_text::EqualsIgnoreCase(name, set)) {
        throw UsageError("--url sets " + std::string(set) + ": drop --param " + name);
      }
    }
  }
  options.params.emplace_back("HostName", (server->secure ? "https://" : "") + server->host);
  options.params.emplace_back("ServerPort", std::to_string(server->port));
  if (options.command == Command::kUpload) options.params.emplace_back("ActionURL", server->target);
}

}  // namespace veldrask::host
