#pragma once

// What a run of a wire case left behind, and the check of its outcome section against it.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "case_file.h"
#include "headless/headless_ui.h"
#include "http/exchange_observer.h"
#include "scripted_network.h"
#include "wire_case.h"

namespace veldrask::testing {

struct ObservedRun {
  // The transfer window's list, row by row.
  std::vector<std::string> statuses;
  std::vector<std::string> names;
  bool windowOpen = false;  // after the run: it must have closed
  std::vector<headless::MessageRecord> messages;
  // A download's folder and how each file ended.
  std::filesystem::path folder;
  std::vector<DownloadReport> reports;
  // An upload's replies and their status lines, as the owner was given them.
  std::vector<std::string> replies;
  std::vector<std::string> replyStatuses;
  // The scripted network, which counts connections; null on real sockets.
  const ScriptedNetwork* network = nullptr;
  // The bytes a server serves for %{content N} of a file name; null where none does.
  std::function<std::string(const std::string& name, std::uint64_t size)> content;
};

// What the transfer window formName showed at its end: whether it closed, and its list's rows.
void ReadWindow(const headless::HeadlessUi& ui, std::string_view formName,
                std::string_view listName, ObservedRun& observed);

// Expects actual to be expected, byte for byte; a long mismatch is told by where it starts.
void ExpectSameBytes(const std::string& actual, const std::string& expected);

// Checks every entry of the run's outcome and its saved files with GoogleTest expectations;
// the run must have shown exactly the messages the outcome names.
void ExpectOutcome(const CaseRun& run, const ObservedRun& observed, const CaseWords& words,
                   const ControlTexts& texts);

}  // namespace veldrask::testing
