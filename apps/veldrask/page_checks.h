#pragma once

// Checks of what the page and the command line give the control, made before anything is
// sent, for mistakes the control itself would pass over in silence.

#include <string>
#include <string_view>
#include <vector>

#include "options.h"

namespace veldrask::host {

// Raises UsageError naming each --param the control never read (namesRead: the names it asked
// the page for): a misspelt name would otherwise be ignored.
void CheckParamNames(const Options& options, const std::vector<std::string>& namesRead);

// Raises UsageError for a HostName that carries a port ("host:8080", "http://host:8080/"):
// the control connects to ServerPort and would either drop the port or look the whole text
// up as a host name. For a download, which uses HostName as it stands, a URL form too.
void CheckHostName(std::string_view hostName, Command command);

// For a plain connection that the server closed without a word: what an HTTPS-only server
// does with a plain request, and how to ask for TLS. Empty when hostName already asks for it.
std::string SilentCloseHint(std::string_view hostName);

}  // namespace veldrask::host
