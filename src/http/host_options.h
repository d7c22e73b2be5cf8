#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace veldrask {

// What a host that embeds the control adds to its requests beyond what a page can set (a
// terminal's options); never a scripting member, and none of it changes a page's requests.
struct HostOptions {
  // Upload: one field name for every file part instead of FilePrefix and a number (for
  // servers that read a list of files under one name).
  std::optional<std::string> fileFieldName;
  // "Name: value" lines added to every request's head, after the control's own lines. The
  // host refuses those that would change the framing; the composition refuses a line break.
  std::vector<std::string> extraHeaders;
  // Download: a file the server refused does not stop the session; it is listed as failed.
  bool keepGoing = false;
  // Download: redirects (301, 302, 303, 307, 308) followed, at most this many for a file; 0
  // follows none (a redirect is the server's refusal, as for a page).
  std::int32_t redirectLimit = 0;
};

}  // namespace veldrask
