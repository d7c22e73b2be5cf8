#pragma once

#include <ostream>

#include "control_session.h"
#include "options.h"

namespace veldrask::host {

// Each command acts on the control as the page's user and script would. Input that cannot be
// acted on raises UsageError before anything is sent; the control's own refusals are message
// boxes, which the session counts.

// Lists the --uploaded files, chooses each FILE in the open dialog and clicks the add command,
// adds the --fields and submits; the server's reply goes to out (decoded, or its bytes as
// they came with --output -).
// Returns false when the server did not take the files (not 2xx, no reply) or none was
// accepted, after saying so.
bool RunUpload(ControlSession& session, const Options& options, std::ostream& out);

// Lists the NAME:SIZE files, chooses the folder, ticks and unticks as asked and clicks the
// download command.
// Returns false when a ticked file did not arrive, after saying why for each.
bool RunDownload(ControlSession& session, const Options& options);

// Invokes one member by name and prints its result to out.
void RunCall(ControlSession& session, const Options& options, std::ostream& out);

}  // namespace veldrask::host
