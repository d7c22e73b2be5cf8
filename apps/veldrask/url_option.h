#pragma once

// --url: the server and the upload's target given as one URL, as if the page had set
// HostName, ServerPort and ActionURL.

#include <cstdint>
#include <string>
#include <string_view>

#include "options.h"

namespace veldrask::host {

struct ServerUrl {
  bool secure = false;
  std::string host;
  std::int32_t port = 80;
  std::string target = "/";  // the path and query; the fragment is dropped
};

// http[s]://host[:port][/path][?query]; raises UsageError naming option.
ServerUrl ParseServerUrl(std::string_view text, std::string_view option);

// Written as a URL: http:// or https:// in any letter case.
bool LooksLikeUrl(std::string_view argument);

// Turns --url into the page's parameters and the download NAMEs written as URLs on its server
// into their paths. FILE and NAME arguments written as URLs without --url, and --url beside a
// --param that it sets, raise UsageError.
void ApplyServerUrl(Options& options);

}  // namespace veldrask::host
