#include "download_reports.h"

#include <algorithm>

#include "base/text.h"
#include "common/request_charset.h"
#include "download/safe_file_name.h"
#include "page_checks.h"

namespace veldrask::host {
namespace {

std::string Why(const DownloadReport& report) {
  const std::string status =
      report.reason.empty() ? report.statusCode : report.statusCode + " " + report.reason;
  switch (report.end) {
    case DownloadEnd::kRefused:
      return (report.statusCode == "404" ? "not found (" : "refused (") + status + ")" +
             (report.detail.empty() ? "" : ": " + report.detail);
    case DownloadEnd::kConnection:
      return "connection failed (" + report.detail + ")";
    case DownloadEnd::kCutShort:
      return "short body: the server closed after " + ToDecimal(report.written) +
             (report.contentLength ? " of " + std::to_string(*report.contentLength) : "") +
             " bytes";
    case DownloadEnd::kUnreadable:
      return "unreadable response" + (report.detail.empty() ? "" : " (" + report.detail + ")");
    case DownloadEnd::kNotWritable:
      return "could not be written to the folder";
    case DownloadEnd::kStopped:
      return "stopped while under way";
    case DownloadEnd::kNotAsked:
      return "skipped: never asked for, the session had stopped";
    case DownloadEnd::kDone:
      break;
  }
  return "done";
}

// The control fell back to its own name because the escapes of the server path's last part did
// not decode in the Korean code page.
bool UnreadName(const DownloadReport& report, std::string_view charset) {
  if (NamesUtf8(charset)) return false;
  const std::string_view last = std::string_view(report.key).substr(report.key.rfind('/') + 1);
  return last.find('%') != std::string_view::npos && report.name.starts_with(kFallbackFileName);
}

}  // namespace

bool ReportDownloads(const std::vector<DownloadReport>& reports, const Options& options,
                     Console& console, std::string_view hostName, std::string_view charset) {
  bool allDone = true;
  for (const DownloadReport& report : reports) {
    const std::string prefix = "veldrask: download: " + report.key + ": ";
    if (report.end != DownloadEnd::kDone) {
      allDone = false;
      const bool silent = report.end == DownloadEnd::kCutShort && report.statusCode.empty();
      console.Print(prefix + Why(report) + (silent ? SilentCloseHint(hostName) : ""));
      continue;
    }
    const auto given = std::find_if(options.downloads.begin(), options.downloads.end(),
                                    [&](const NamedSize& file) { return file.name == report.key; });
    const bool sizeGiven = given != options.downloads.end() && given->sizeGiven;
    if (sizeGiven && report.contentLength &&
        *report.contentLength != static_cast<std::uint64_t>(report.announced)) {
      console.Print(prefix + "the server's Content-Length " +
                    std::to_string(*report.contentLength) + " differs from the SIZE " +
                    ToDecimal(report.announced) + " given; saved " + ToDecimal(report.written) +
                    " bytes");
    }
    if (UnreadName(report, charset)) {
      console.Print(prefix + "saved as " + report.name + ": its name's escapes are no " +
                    "characters of CP949; if the server's names are UTF-8, add --param " +
                    "Charset=UTF-8");
    }
  }
  return allDone;
}

}  // namespace veldrask::host
