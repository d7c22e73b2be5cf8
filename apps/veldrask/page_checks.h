#pragma once

// Checks of what the page and the command line give the control, made before anything is
// sent, for mistakes the control itself would pass over in silence.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "options.h"

namespace veldrask::host {

// Raises UsageError naming each --param the control never read (namesRead: the names it asked
// the page for): a misspelt name would otherwise be ignored.
void CheckParamNames(const Options& options, const std::vector<std::string>& namesRead);

// Checks HostName against what the control connects to: for an upload HostName as Submit
// cleans it (a URL or "host/path" becomes the bare host), for a download HostName as it
// stands. Raises UsageError, with the form to use, when that still holds a port
// ("host:8080", "https://host:8443"), which the control would look up as a host name, and for
// a download when it is a URL. Returns a notice to show when the cleaned-off port differs from
// serverPort, the one the control connects to; empty otherwise.
std::string CheckHostName(std::string_view hostName, std::int32_t serverPort, Command command);

// Raises UsageError when the page and the command line leave the control no server to send to
// (an empty HostName) or, for an upload, no target (an empty ActionURL, or one without its
// leading "/", which a server would answer with 400).
void CheckServerParams(std::string_view hostName, std::string_view actionUrl, Command command);

// What to add to the message of a parameter the control could not take: why ServerPort
// overflows below 65535. Empty for any other.
std::string ParamLoadNote(std::string_view name, const Error& error);

// For a plain connection that the server closed without a word: what an HTTPS-only server
// does with a plain request, and how to ask for TLS. Empty when hostName already asks for it.
std::string SilentCloseHint(std::string_view hostName);

}  // namespace veldrask::host
