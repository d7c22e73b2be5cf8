#pragma once

#include <string_view>
#include <vector>

#include "console.h"
#include "http/exchange_observer.h"
#include "options.h"

namespace veldrask::host {

// Says how every ticked file of a download ended, from the control's reports: why each one
// that did not arrive failed, where a SIZE given differs from the server's length, and a name
// whose escapes the Korean code page could not read (saved under the fallback name). True
// when all of them arrived.
bool ReportDownloads(const std::vector<DownloadReport>& reports, const Options& options,
                     Console& console, std::string_view hostName, std::string_view charset);

}  // namespace veldrask::host
