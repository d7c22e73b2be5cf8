#pragma once

// What each platform's host does its own way: the commands that drive a control (upload,
// download, call) and the code page the control's texts are converted with.

#include <memory>
#include <ostream>

#include "base/error.h"
#include "console.h"
#include "options.h"
#include "platform/code_page.h"

namespace veldrask::host {

// Runs upload, download or call; returns the exit status.
int RunWithControl(const Options& options, std::ostream& out, Console& console);

// The platform's ANSI code page (CP949), for encode and decode.
std::unique_ptr<CodePage> MakeAnsiCodePage();

// Prints the error a command on the control ended with; true when it was an error of the call
// itself rather than a refusal of the member: nothing was done.
bool SayCommandError(const Options& options, const Error& error, Console& console);

}  // namespace veldrask::host
