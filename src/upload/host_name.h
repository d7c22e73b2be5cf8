#pragma once

#include <string>
#include <string_view>

namespace veldrask {

// Reduces a HostName the page may have written as a URL to the bare host: drops a scheme
// ("...://") and cuts at the first ":" that comes before the first "/", or else at that "/".
// A host followed by ":" and a port but no "/" stays as it is; the port text is never read.
// An "https://" in front (any letter case) is kept, the rest reduced the same way.
std::string NormalizeHostName(std::string_view hostName);

}  // namespace veldrask
