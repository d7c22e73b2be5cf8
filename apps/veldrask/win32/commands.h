#pragma once

#include <ostream>

#include "dll_session.h"
#include "options.h"

namespace veldrask::host {

// Each command acts on the control DLL as the page's user and script would: the user through
// the control's own buttons and dialogs, the script through its members by name. Input that
// cannot be acted on raises UsageError before anything is sent; the control's own refusals
// are message boxes, which the session counts.

// Lists the --uploaded files, chooses each FILE in the control's open dialog after a click
// of its add button, adds the --fields and submits; the server's reply goes to out.
// Returns false when the server did not take the files or none was accepted, after saying so.
bool RunUpload(DllSession& session, const Options& options, std::ostream& out);

// Lists the NAME:SIZE files, ticks and unticks as asked and clicks the download button.
// Returns false when a ticked file did not arrive, after saying why for each.
bool RunDownload(DllSession& session, const Options& options);

// Invokes one member by name and prints its result to out.
void RunCall(DllSession& session, const Options& options, std::ostream& out);

}  // namespace veldrask::host
