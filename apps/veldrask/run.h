#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "console.h"

namespace veldrask::host {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;    // the control refused or failed something
inline constexpr int kExitUsage = 2;      // nothing was sent
inline constexpr int kExitTimedOut = 28;  // a time limit stopped the transfer
// Interrupted by a signal: 128 + its number (see InterruptWatch).

inline constexpr char kInsecureWarning[] =
    "veldrask: warning: --insecure: the server's certificate is not checked; anyone on the way "
    "can read and change this HTTPS transfer";

// The whole program after main: arguments without the program name, results to out,
// messages and progress to the console.
int Run(const std::vector<std::string>& arguments, std::ostream& out, Console& console);

// The end of stdout, given Run's status: what is buffered is written out and the stream
// closed, each checked, so that a reply or a text lost to a full disk or a closed pipe does not
// end as success. On a failure says "write failed" and returns kExitRefused in place of
// kExitOk (another status stays). out is the stream on stdout.
int FinishStdout(int status, std::ostream& out, Console& console);

}  // namespace veldrask::host
