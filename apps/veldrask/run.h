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
inline constexpr int kExitInterrupted = 130;

// The whole program after main: arguments without the program name, results to out,
// messages and progress to the console.
int Run(const std::vector<std::string>& arguments, std::ostream& out, Console& console);

}  // namespace veldrask::host
