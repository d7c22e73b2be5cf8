#pragma once

// When the page's limits refuse some of the files a user named: the settings that would let
// all of them in, for the message that says nothing was sent.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "console.h"
#include "options.h"

namespace veldrask::host {

// The page's limits on the queue as the add command met them.
struct QueueLimits {
  std::int32_t maxFileCount = 0;
  std::int32_t maxFileSize = 0;   // megabytes, the whole queue
  std::int32_t unitFileSize = 0;  // megabytes, each file; 0: no such limit
  std::string excludeFileExtension;
  std::int32_t rowsBefore = 0;  // the server's files listed before the named ones
  std::int64_t bytesBefore = 0;
};

struct NamedFile {
  std::string path;
  std::int64_t size = 0;
};

// The "--param NAME=VALUE" settings under which every one of files would be queued, in the
// order the add command checks them; none for a refusal no setting lifts (a file too large
// for the control's 32-bit sizes, one that cannot be read).
std::vector<std::string> AllowingParams(const QueueLimits& limits,
                                        const std::vector<NamedFile>& files);

// What the host says when the files in refused were not queued and so nothing was sent.
std::vector<std::string> NothingSentLines(const std::vector<std::string>& refused,
                                          const std::vector<std::string>& allowing);

using FileSizeOf = std::function<std::int64_t(const std::string& path)>;

// After the add pass over paths, of which refused were not queued: whether the upload goes
// on. A refusal sends nothing unless --send-accepted asked for the rest, and is said with the
// settings that would take every file; with --send-accepted and nothing queued, nothing is
// sent either.
bool RefusalsAllowSending(const Options& options, const QueueLimits& limits,
                          const std::vector<std::string>& paths,
                          const std::vector<std::string>& refused, Console& console,
                          const FileSizeOf& sizeOf);

}  // namespace veldrask::host
