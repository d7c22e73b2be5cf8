#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "console.h"
#include "exit_status.h"

namespace veldrask::host {

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
