#pragma once

// What the upload and download commands decide and say the same way whichever control they
// drive: which FILE arguments are chosen, the hints and verdicts they print.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console.h"
#include "exchange_follower.h"
#include "options.h"

namespace veldrask::host {

// "a, b, c".
std::string Listed(const std::vector<std::string>& names);

// A FILE argument as the open dialog gives it (absolute, checked); raises UsageError.
using DialogPathOf = std::function<std::string(const std::string& argument)>;

// The FILE arguments as the dialog gives them, each once; a file named again is said once on
// the console. room: the characters the dialog's buffer holds, when the host knows it.
std::vector<std::string> ChosenPaths(const Options& options, std::optional<std::int32_t> room,
                                     Console& console, const DialogPathOf& pathOf);

// With the default charset, non-ASCII names and values earn one line about the setting that
// sends UTF-8 when the server's answer suggests it reads UTF-8 (its charset is UTF-8, or it
// answers JSON): some servers drop a whole form whose names are not UTF-8 without a word.
std::optional<std::string> CharsetHint(std::string_view charset, const Options& options,
                                       const std::vector<std::string>& paths,
                                       const std::optional<ResponseHead>& answer);

// Judges the reply's status line: true for 2xx. When the server did not take the files (no
// reply, not 2xx) says so on the console, and notes a missing reply's exit status.
bool JudgeReplyStatus(std::string_view status, std::string_view hostName, Console& console,
                      ExchangeFollower& exchange);

// One line for each NAME:SIZE named again: the control lists a name once.
std::vector<std::string> RepeatedDownloads(const Options& options);

}  // namespace veldrask::host
