#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "command_plan.h"
#include "console.h"
#include "exit_status.h"
#include "http/exchange_observer.h"
#include "options.h"

namespace veldrask::host {

// --retry: what is tried again and how long the host waits first.

// The wait before retry number retry (from 1): 1 s, doubled each time, at most 60 s.
std::chrono::milliseconds RetryWait(std::int32_t retry);

// Says why and how long, then waits; true when the wait ran out, false when interrupted()
// came true first (Ctrl-C).
bool WaitToRetry(Console& console, const std::string& why, std::int32_t retry, std::int32_t retries,
                 const std::function<bool()>& interrupted);

// A downloaded file that may come on another try: the connection failed or broke, the body
// was cut, or the server said it was busy (408, 429, 500, 502, 503, 504). A GET changes
// nothing on the server, so repeating one is safe.
bool WorthRetrying(const DownloadReport& report);

// The rows (from 1) of the download list that hold keys: the list holds each NAME once, in
// the order given. None when the list's rowCount says it holds another set.
std::vector<std::int32_t> RowsOfNames(const Options& options, const std::vector<std::string>& keys,
                                      std::int32_t rowCount);

// Each key's latest report, in the order the keys first ended.
std::vector<DownloadReport> LatestReports(const std::vector<DownloadReport>& reports);

// Both hosts' sessions: MessageCount, ForgetMessagesSince, TimedOut, Output and Exchange.

// Submits until the connection opens or the retries run out: an upload is tried again only
// when nothing of it went out.
template <typename Session, typename Submit>
std::string SubmitRetrying(Session& session, std::int32_t retries,
                           const std::function<bool()>& interrupted, Submit submit) {
  for (std::int32_t retry = 1;; ++retry) {
    const std::size_t before = session.MessageCount();
    std::string reply = submit();
    if (retry > retries || !session.Exchange().ConnectionNeverOpened() || interrupted() ||
        session.TimedOut()) {
      return reply;
    }
    if (!WaitToRetry(session.Output(), "upload: the connection failed before anything was sent",
                     retry, retries, interrupted)) {
      return reply;
    }
    session.ForgetMessagesSince(before);
    session.Exchange().ForgetTry();
  }
}

// Clicks the download command (click()) until no file worth retrying is left or the retries
// run out, ticking only those files for each retry (tick(row, ticked) over rowCount rows).
// Returns each file's latest report; the exit status then comes from those.
template <typename Session, typename Click, typename Tick>
std::vector<DownloadReport> DownloadRetrying(Session& session, const Options& options,
                                             std::int32_t rowCount,
                                             const std::function<bool()>& interrupted, Click click,
                                             Tick tick) {
  std::vector<DownloadReport> all;
  bool retried = false;
  for (std::int32_t retry = 1;; ++retry) {
    const std::size_t before = session.MessageCount();
    click();
    const std::vector<DownloadReport>& round = session.Exchange().Downloads();
    all.insert(all.end(), round.begin(), round.end());
    std::vector<std::string> again;
    for (const DownloadReport& report : round) {
      if (WorthRetrying(report)) again.push_back(report.key);
    }
    const std::vector<std::int32_t> rows = RowsOfNames(options, again, rowCount);
    if (rows.empty() || retry > options.retries || interrupted() || session.TimedOut()) break;
    if (!WaitToRetry(session.Output(), "download: did not arrive: " + Listed(again), retry,
                     options.retries, interrupted)) {
      break;
    }
    retried = true;
    session.ForgetMessagesSince(before);
    session.Exchange().ForgetTry();
    for (std::int32_t row = 1; row <= rowCount; ++row) {
      tick(row, std::find(rows.begin(), rows.end(), row) != rows.end());
    }
  }
  if (!retried) return all;
  // Retried: the status is the first failure among the files' latest ends.
  all = LatestReports(all);
  session.Exchange().ForgetTry();
  for (const DownloadReport& report : all) session.Exchange().NoteFailure(StatusOfDownload(report));
  return all;
}

}  // namespace veldrask::host
