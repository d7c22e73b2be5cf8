#include "retry.h"

#include <algorithm>
#include <thread>

#include "base/text.h"

namespace veldrask::host {

std::chrono::milliseconds RetryWait(std::int32_t retry) {
  const std::int32_t doublings = std::clamp(retry - 1, 0, 6);
  return std::min(std::chrono::milliseconds(1000 << doublings), std::chrono::milliseconds(60000));
}

bool WaitToRetry(Console& console, const std::string& why, std::int32_t retry, std::int32_t retries,
                 const std::function<bool()>& interrupted) {
  const std::chrono::milliseconds wait = RetryWait(retry);
  console.Print("veldrask: " + why + "; trying again in " + ToDecimal(wait.count() / 1000) +
                " s (retry " + ToDecimal(retry) + " of " + ToDecimal(retries) + ")");
  // In slices, so that Ctrl-C, which the handler only notes, ends the wait at once.
  const auto until = std::chrono::steady_clock::now() + wait;
  while (std::chrono::steady_clock::now() < until) {
    if (interrupted()) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return !interrupted();
}

bool WorthRetrying(const DownloadReport& report) {
  switch (report.end) {
    case DownloadEnd::kConnection:
    case DownloadEnd::kCutShort:
      return true;
    case DownloadEnd::kRefused:
      for (const std::string_view busy : {"408", "429", "500", "502", "503", "504"}) {
        if (report.statusCode == busy) return true;
      }
      return false;
    default:
      return false;
  }
}

std::vector<std::int32_t> RowsOfNames(const Options& options, const std::vector<std::string>& keys,
                                      std::int32_t rowCount) {
  std::vector<std::string> listed;
  for (const NamedSize& file : options.downloads) {
    if (std::find(listed.begin(), listed.end(), file.name) == listed.end()) {
      listed.push_back(file.name);
    }
  }
  std::vector<std::int32_t> rows;
  if (static_cast<std::size_t>(rowCount) != listed.size()) return rows;
  for (const std::string& key : keys) {
    const auto found = std::find(listed.begin(), listed.end(), key);
    if (found != listed.end())
      rows.push_back(static_cast<std::int32_t>(found - listed.begin()) + 1);
  }
  return rows;
}

std::vector<DownloadReport> LatestReports(const std::vector<DownloadReport>& reports) {
  std::vector<DownloadReport> latest;
  for (const DownloadReport& report : reports) {
    const auto same = std::find_if(latest.begin(), latest.end(),
                                   [&](const DownloadReport& r) { return r.key == report.key; });
    if (same == latest.end()) {
      latest.push_back(report);
    } else {
      *same = report;
    }
  }
  return latest;
}

}  // namespace veldrask::host
