#pragma once

// A download run of a wire case: the download window of a FakeOwner that the run's entries
// set, on whatever platform the caller gives (the scripted network, or real sockets).

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "case_file.h"
#include "case_outcome.h"
#include "headless/headless_ui.h"
#include "platform/platform.h"
#include "wire_case.h"

namespace veldrask::testing {

struct DownloadBench {
  Platform& platform;
  headless::HeadlessUi& ui;
  std::filesystem::path folder;  // the download folder, made by the run's files when it has any
  // On a real socket: the server that stands for the case's HostName and ServerPort.
  std::optional<std::string> host;
  std::optional<std::int16_t> port;
};

// Runs the session to its end; the observed run has neither network nor content filled in.
ObservedRun RunDownloadCase(const DownloadBench& bench, const CaseRun& run, const CaseWords& words);

}  // namespace veldrask::testing
