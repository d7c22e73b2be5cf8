#pragma once

// A wire case on the scripted network: its replies as the server's steps, its refusals, and
// the bytes its wire sections expect from the client.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "case_file.h"
#include "scripted_network.h"
#include "wire_case.h"

namespace veldrask::testing {

// Answers each connection with the steps of the case's reply for its request target;
// userClose is what a "--- user-close" step does.
void ServeCase(ScriptedNetwork& network, const WireCase& wireCase, const CaseWords& words,
               std::function<void()> userClose);

// One wire section: the bytes, where the server answers and where the client stops.
struct ExpectedWire {
  std::string bytes;
  std::optional<std::size_t> answerAt;
  std::optional<std::size_t> lastAt;
};
std::vector<ExpectedWire> ExpectedWires(const CaseRun& run, const CaseWords& words);

// Checks what each connection carried against the run's wire sections.
void ExpectSent(const std::vector<std::string>& sent, const std::vector<ExpectedWire>& wires,
                const std::string& where);

}  // namespace veldrask::testing
