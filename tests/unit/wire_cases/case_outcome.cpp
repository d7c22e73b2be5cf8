#include "case_outcome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>

#include "headless/list_view.h"
#include "scratch_folder.h"
#include "transfer/transfer_window.h"

namespace veldrask::testing {
namespace {

const std::map<std::string, DownloadEnd, std::less<>> kEnds = {
    {"done", DownloadEnd::kDone},
    {"refused", DownloadEnd::kRefused},
    {"connection", DownloadEnd::kConnection},
    {"cut-short", DownloadEnd::kCutShort},
    {"unreadable", DownloadEnd::kUnreadable},
    {"not-writable", DownloadEnd::kNotWritable},
    {"stopped", DownloadEnd::kStopped},
    {"not-asked", DownloadEnd::kNotAsked},
};

std::string EndWord(DownloadEnd end) {
  for (const auto& [word, value] : kEnds) {
    if (value == end) return word;
  }
  return "?";
}

std::string ReadWhole(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return "(no such file)";
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// "report 2: unreadable invalid Content-Length" as its head ("report"), number (2) and value.
struct OutcomeEntry {
  std::string head;
  std::size_t row = 0;
  std::string value;
};

OutcomeEntry ParseEntry(const CaseRun& run, const CaseLine& line) {
  const std::size_t colon = line.text.find(':');
  if (colon == std::string::npos) run.control.Fail(line.number, "an outcome entry without \":\"");
  OutcomeEntry entry;
  entry.head = line.text.substr(0, colon);
  entry.value = line.text.substr(colon + 1);
  if (entry.value.starts_with(' ')) entry.value.erase(0, 1);
  if (const std::size_t space = entry.head.find(' '); space != std::string::npos) {
    entry.row = std::stoul(entry.head.substr(space + 1));
    entry.head.erase(space);
    if (entry.row == 0) run.control.Fail(line.number, "rows count from 1");
  }
  return entry;
}

template <typename T>
const T* Row(const std::vector<T>& items, std::size_t row) {
  return row <= items.size() ? &items[row - 1] : nullptr;
}

class OutcomeCheck {
 public:
  OutcomeCheck(const CaseRun& run, const ObservedRun& observed, const CaseWords& words,
               const ControlTexts& texts)
      : run_(run), observed_(observed), words_(words), texts_(texts) {}

  void Entry(const CaseLine& line) {
    SCOPED_TRACE(run_.control.source + ":" + std::to_string(line.number) + ": " + line.text);
    const OutcomeEntry entry = ParseEntry(run_, line);
    const std::vector<std::string> words = RenderWords(entry.value, words_);
    const std::string& head = entry.head;
    if (head == "rows") {
      std::vector<std::string> statuses;
      for (const std::string& word : words) statuses.push_back(texts_.Text("status-" + word, {}));
      EXPECT_EQ(observed_.statuses, statuses);
    } else if (head == "row") {
      const std::string* name = Row(observed_.names, entry.row);
      ASSERT_NE(name, nullptr) << "no such row";
      EXPECT_EQ(*name, RenderText(entry.value, words_));
    } else if (head == "folder") {
      std::vector<std::string> names = words;
      std::sort(names.begin(), names.end());
      EXPECT_EQ(SortedNamesIn(observed_.folder), names);
    } else if (head == "message") {
      if (words.empty()) run_.control.Fail(line.number, "a message entry names no text");
      messages_.push_back(texts_.Text(words[0], {words.begin() + 1, words.end()}));
    } else if (head == "reply") {
      EXPECT_EQ(observed_.replies, std::vector<std::string>{RenderText(entry.value, words_)});
    } else if (head == "status") {
      const std::string status = RenderText(entry.value, words_);
      EXPECT_EQ(observed_.replyStatuses,
                status.empty() ? std::vector<std::string>{} : std::vector<std::string>{status});
    } else if (head == "report" || head == "written") {
      Report(entry, line);
    } else {
      Network(entry, words, line);
    }
  }

  void Finish() {
    std::vector<std::string> shown;
    for (const headless::MessageRecord& message : observed_.messages) shown.push_back(message.text);
    EXPECT_EQ(shown, messages_) << run_.Where() << ": the messages shown";
  }

 private:
  void Report(const OutcomeEntry& entry, const CaseLine& line) {
    const DownloadReport* report = Row(observed_.reports, entry.row);
    ASSERT_NE(report, nullptr) << "no report for that file";
    if (entry.head == "written") {
      if (!entry.value.starts_with("> ")) run_.control.Fail(line.number, "written N: > COUNT");
      EXPECT_GT(report->written, std::stoll(entry.value.substr(2)));
      return;
    }
    const std::size_t space = std::min(entry.value.find(' '), entry.value.size());
    const auto end = kEnds.find(entry.value.substr(0, space));
    if (end == kEnds.end()) run_.control.Fail(line.number, "no such end of a file");
    EXPECT_EQ(EndWord(report->end), end->first) << report->detail;
    if (space < entry.value.size()) {
      EXPECT_EQ(report->detail, RenderText(entry.value.substr(space + 1), words_));
    }
  }

  void Network(const OutcomeEntry& entry, const std::vector<std::string>& words,
               const CaseLine& line) {
    const ScriptedNetwork* network = observed_.network;
    if (network == nullptr)
      run_.control.Fail(line.number, entry.head + " on the scripted network only");
    if (entry.head == "connections") {
      EXPECT_EQ(network->connections, std::stoi(entry.value));
    } else if (entry.head == "closes") {
      EXPECT_EQ(network->closes, std::stoi(entry.value));
    } else if (entry.head == "writes") {
      EXPECT_EQ(network->writes.size(), std::stoul(entry.value));
    } else if (entry.head == "tls") {
      EXPECT_EQ(network->tlsSockets, std::stoi(entry.value));
    } else if (entry.head == "hosts") {
      EXPECT_EQ(network->hosts, words);
    } else if (entry.head == "ports") {
      std::vector<std::int32_t> ports;
      for (const std::string& word : words) ports.push_back(std::stoi(word));
      EXPECT_EQ(network->ports, ports);
    } else {
      run_.control.Fail(line.number, "no such outcome entry: " + entry.head);
    }
  }

  const CaseRun& run_;
  const ObservedRun& observed_;
  const CaseWords& words_;
  const ControlTexts& texts_;
  std::vector<std::string> messages_;
};

}  // namespace

void ReadWindow(const headless::HeadlessUi& ui, std::string_view formName,
                std::string_view listName, ObservedRun& observed) {
  headless::HeadlessForm& form = *ui.FindForm(formName);
  observed.windowOpen = form.IsOpen();
  auto& list = form.Get<headless::HeadlessListView>(listName);
  for (std::int32_t row = 1; row <= list.RowCount(); ++row) {
    observed.statuses.push_back(list.SubItem(row, kStatusColumn));
    observed.names.push_back(list.RowText(row));
  }
}

void ExpectSameBytes(const std::string& actual, const std::string& expected) {
  constexpr std::size_t kShown = 2000;
  if (actual.size() < kShown && expected.size() < kShown) {
    EXPECT_EQ(actual, expected);
    return;
  }
  if (actual == expected) return;
  const auto [differs, unused] =
      std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
  const auto at = static_cast<std::size_t>(differs - actual.begin());
  const std::size_t from = at < 40 ? 0 : at - 40;
  ADD_FAILURE() << actual.size() << " bytes where " << expected.size()
                << " were expected, the first difference at byte " << at << ":\n  actual   "
                << ::testing::PrintToString(actual.substr(from, 80)) << "\n  expected "
                << ::testing::PrintToString(expected.substr(from, 80));
}

void ExpectOutcome(const CaseRun& run, const ObservedRun& observed, const CaseWords& words,
                   const ControlTexts& texts) {
  EXPECT_FALSE(observed.windowOpen) << run.Where() << ": the window is still open";
  OutcomeCheck check(run, observed, words, texts);
  for (const CaseLine& line : run.outcome) check.Entry(line);
  check.Finish();
  for (const CaseSection& saved : run.saved) {
    const std::string name = RenderText(saved.arguments.empty() ? "" : saved.arguments[0], words);
    const CaseWords savedWords = [&](std::string_view word, std::string_view argument) {
      if (word != "content" || !observed.content) return words(word, argument);
      return observed.content(name, std::stoull(std::string(argument)));
    };
    const std::string expected = RenderData(saved, savedWords);
    const std::string actual = ReadWhole(observed.folder / name);
    SCOPED_TRACE(saved.source + ":" + std::to_string(saved.number) + ": " + name);
    ExpectSameBytes(actual, expected);
  }
}

}  // namespace veldrask::testing
