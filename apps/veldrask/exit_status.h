#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "http/exchange_observer.h"

namespace veldrask::host {

// Exit statuses. Where curl has a status for the same cause, it is curl's, so that scripts
// written for one read the other.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;  // the control refused, or a failure named below did not
inline constexpr int kExitUsage = 2;    // nothing was sent
inline constexpr int kExitHostNotFound = 6;
inline constexpr int kExitCouldNotConnect = 7;   // refused, unreachable, the system's timeout
inline constexpr int kExitUnreadableReply = 8;   // the server's answer is not readable HTTP
inline constexpr int kExitShortBody = 18;        // the server closed before the body's end
inline constexpr int kExitServerStatus = 22;     // the server's status was not 2xx
inline constexpr int kExitNotWritten = 23;       // a downloaded file could not be written
inline constexpr int kExitTimedOut = 28;         // a time limit stopped the transfer
inline constexpr int kExitTlsFailed = 35;        // the secure connection could not be made
inline constexpr int kExitEmptyReply = 52;       // the server closed without answering
inline constexpr int kExitConnectionBroke = 56;  // reset or aborted under way
inline constexpr int kExitCertificate = 60;      // the server's certificate was refused
// Interrupted by a signal: 128 + its number (see InterruptWatch).

// The status for a socket's error number.
int StatusOfSocketError(std::int32_t number);

// A message box's text as the terminal shows it: one that starts with a socket's error number
// ("10061:...", as the control shows a failed connection) gets the cause in English at the
// end of its first line, for a reader who does not read Korean. Other texts stay as they are.
std::string WithEnglishReason(std::string_view message);

// The status for a downloaded file as it ended; kExitOk for one that did not fail (done,
// stopped by the user or a limit, never asked for).
int StatusOfDownload(const DownloadReport& report);

}  // namespace veldrask::host
