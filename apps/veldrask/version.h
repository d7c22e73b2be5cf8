#pragma once

namespace veldrask::host {

// The tool's own version and the commit it was built from ("unknown" outside a git tree).
extern const char* const kToolVersion;
extern const char* const kToolCommit;

}  // namespace veldrask::host
