#include "scripted_replies.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "case_outcome.h"

namespace veldrask::testing {
namespace {

// The value of a marker's NAME=VALUE option as a number; fallback without it.
std::uint32_t Option(const CaseStep& step, std::string_view name, std::uint32_t fallback) {
  for (const std::string& option : step.options) {
    if (option.starts_with(std::string(name) + "=")) {
      return static_cast<std::uint32_t>(std::stoul(option.substr(name.size() + 1)));
    }
  }
  return fallback;
}

void RequireKnownOptions(const CaseSection& section, const CaseStep& step) {
  for (const std::string& option : step.options) {
    const bool piece = step.word == "send" && option.starts_with("piece=");
    if (!option.starts_with("pause=") && !piece) {
      section.Fail(step.number, "no such option here: " + option);
    }
  }
}

std::vector<ServerStep> ScriptedSteps(const CaseSection& reply, const CaseWords& words,
                                      const std::function<void()>& userClose) {
  for (const std::string& argument : reply.arguments) {
    if (argument.starts_with("after=")) reply.Fail(reply.number, argument + " on a socket only");
  }
  const std::vector<CaseStep> steps = SplitSteps(reply, "send");
  const std::vector<std::string> bytes = RenderSteps(reply, steps, words);
  std::vector<ServerStep> script;
  for (std::size_t s = 0; s < steps.size(); ++s) {
    const CaseStep& step = steps[s];
    if (step.word != "send" && !step.lines.empty()) {
      reply.Fail(step.number, "bytes after --- " + step.word);
    }
    RequireKnownOptions(reply, step);
    const std::uint32_t pause = Option(step, "pause", 0);
    if (step.word == "send") {
      const std::size_t piece = Option(step, "piece", 0);
      // Each piece is one arrival; a step with no bytes brings none.
      for (std::size_t at = 0; at < bytes[s].size(); at += piece == 0 ? bytes[s].size() : piece) {
        script.push_back(Data(bytes[s].substr(at, piece == 0 ? std::string::npos : piece), pause));
      }
    } else if (step.word == "close" || step.word == "reset") {
      const auto kind = step.word == "close" ? ServerStep::Kind::kClose : ServerStep::Kind::kReset;
      script.push_back({kind, {}, pause, {}});
    } else if (step.word == "user-close") {
      script.push_back(Call(userClose));
    } else if (step.word != "stall" && step.word != "keep-alive") {
      // A script that ends sends nothing more: a stall, or a connection kept for nobody.
      reply.Fail(step.number, "--- " + step.word + " on a socket only");
    }
  }
  return script;
}

}  // namespace

void ServeCase(ScriptedNetwork& network, const WireCase& wireCase, const CaseWords& words,
               std::function<void()> userClose) {
  auto scripts = std::make_shared<std::map<const CaseSection*, std::vector<ServerStep>>>();
  for (const CaseSection& reply : wireCase.replies) {
    (*scripts)[&reply] = ScriptedSteps(reply, words, userClose);
  }
  network.SetServer([&wireCase, scripts](const std::string& request) {
    const std::size_t start = request.find(' ') + 1;
    const std::string target = request.substr(start, request.find_first_of(" \r", start) - start);
    const CaseSection* reply = wireCase.ReplyFor(target);
    return reply == nullptr ? std::vector<ServerStep>{} : scripts->at(reply);
  });
  for (const int number : wireCase.refused) network.refused.insert(number);
  if (wireCase.refuseAll) {
    for (int number = 1; number <= 1000; ++number) network.refused.insert(number);
  }
}

std::vector<ExpectedWire> ExpectedWires(const CaseRun& run, const CaseWords& words) {
  std::vector<ExpectedWire> wires;
  for (const CaseSection& section : run.wires) {
    const std::vector<CaseStep> steps = SplitSteps(section, "bytes");
    const std::vector<std::string> bytes = RenderSteps(section, steps, words);
    ExpectedWire wire;
    for (std::size_t s = 0; s < steps.size(); ++s) {
      if (steps[s].word == "answer") {
        wire.answerAt = wire.bytes.size();
      } else if (steps[s].word == "last") {
        wire.lastAt = wire.bytes.size();
      } else if (steps[s].word != "bytes") {
        section.Fail(steps[s].number, "no such marker in a wire section: " + steps[s].word);
      }
      wire.bytes += bytes[s];
    }
    wires.push_back(std::move(wire));
  }
  return wires;
}

void ExpectSent(const std::vector<std::string>& sent, const std::vector<ExpectedWire>& wires,
                const std::string& where) {
  ASSERT_EQ(sent.size(), wires.size()) << where << ": connections against wire sections";
  for (std::size_t c = 0; c < wires.size(); ++c) {
    SCOPED_TRACE(where + ": connection " + std::to_string(c + 1));
    const ExpectedWire& wire = wires[c];
    if (wire.lastAt) {
      ExpectSameBytes(sent[c], wire.bytes.substr(0, *wire.lastAt));
    } else if (wire.answerAt) {
      EXPECT_GE(sent[c].size(), *wire.answerAt);
      ExpectSameBytes(sent[c], wire.bytes.substr(0, sent[c].size()));
    } else {
      ExpectSameBytes(sent[c], wire.bytes);
    }
  }
}

}  // namespace veldrask::testing
