// The blocks of an upload: the bytes on the wire and the progress after every block for block
// sizes from one byte to more than a whole file, and files that change while they are read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "integration/upload/upload_session_fixture.h"
#include "support/files.h"
#include "support/servers.h"
#include "upload/block_reader.h"

namespace veldrask::upload_test {
namespace {

// The number before " / " in a byte progress text ("12,345 / 20,000 Bytes (61 %)").
std::int64_t DoneBytes(std::string_view caption) {
  std::int64_t done = 0;
  for (const char c : caption.substr(0, caption.find(" / "))) {
    if (c >= '0' && c <= '9') done = done * 10 + (c - '0');
  }
  return done;
}

// What the byte labels show after each block: 0 at the start, then every block's end.
struct ProgressSteps {
  std::vector<std::int64_t> file;
  std::vector<std::int64_t> total;
};

ProgressSteps ExpectedSteps(const std::vector<std::int64_t>& sizes, std::int64_t blockSize) {
  ProgressSteps steps{{0}, {0}};
  std::int64_t total = 0;
  for (const std::int64_t size : sizes) {
    for (std::int64_t done = 0; done < size;) {
      const std::int64_t block = std::min(blockSize, size - done);
      done += block;
      total += block;
      // A label keeps its text when it would not change (the next file ending where the last
      // one did).
      if (steps.file.back() != done) steps.file.push_back(done);
      steps.total.push_back(total);
    }
  }
  return steps;
}

class BlockUploadTest : public UploadSessionTest {
 protected:
  BlockUploadTest() : UploadSessionTest(std::chrono::seconds(120)) {}

  // Records the byte labels while the window runs; every one of fileCount files must be done.
  ProgressSteps RunRecordingProgress(int port, std::size_t fileCount) {
    ProgressSteps seen;
    const auto fileObserver = ui_.Recorder().OnChange(
        "frmProcess", "lblSendProcess",
        [&](headless::HeadlessWidget& label) { seen.file.push_back(DoneBytes(label.Caption())); });
    const auto totalObserver = ui_.Recorder().OnChange(
        "frmProcess", "lblTotalSendProcess",
        [&](headless::HeadlessWidget& label) { seen.total.push_back(DoneBytes(label.Caption())); });
    const SessionOutcome outcome = Run(port);
    ui_.Recorder().RemoveObserver(fileObserver);
    ui_.Recorder().RemoveObserver(totalObserver);
    EXPECT_TRUE(outcome.messages.empty());
    EXPECT_EQ(outcome.statuses, std::vector<std::string>(fileCount, "완료"));
    return seen;
  }
};

struct BlockCase {
  const char* label;
  std::int32_t bufferSize;
  bool withLargeFile;  // 600,005 bytes: several read-ahead pieces, the last one partial
};

TEST_F(BlockUploadTest, WireAndProgressFollowTheBlocks) {
  std::vector<std::filesystem::path> small;
  for (const auto& [name, size] : {std::pair<const char*, std::uint64_t>{"보고서 2024.txt", 20000},
                                   {"empty.bin", 0},
                                   {"exact.dat", 3 * 8192},
                                   {"one.txt", 1}}) {
    small.push_back(dir_ / name);
    testing::WriteDeterministicFile(small.back(), size);
  }
  const auto large = dir_ / "large.bin";
  WritePatternFile(large, 600005);

  const std::vector<BlockCase> cases = {
      {"one byte", 1, false},
      {"seven bytes", 7, true},
      {"8192 bytes", 8192, true},
      {"larger than every file", 1 << 20, true},
  };
  for (const BlockCase& test : cases) {
    SCOPED_TRACE(test.label);
    std::vector<std::filesystem::path> paths = small;
    if (test.withLargeFile) paths.insert(paths.begin() + 1, large);
    std::vector<std::int64_t> sizes;
    for (const auto& path : paths) sizes.push_back(static_cast<std::int64_t>(file_size(path)));
    Compose(paths, {{"title", "분기 보고"}});
    owner_.bufferSize = test.bufferSize;
    owner_.responses.clear();
    testing::TempDir records;
    const auto server = testing::StartRecordingServer(records.path());

    const ProgressSteps seen = RunRecordingProgress(server->port(), paths.size());

    EXPECT_EQ(testing::WaitForRecordedConnection(records.path(), 1), ExpectedWire());
    EXPECT_EQ(owner_.responses, std::vector<std::string>{"done"});
    const ProgressSteps expected = ExpectedSteps(sizes, test.bufferSize);
    EXPECT_EQ(seen.file, expected.file);
    EXPECT_EQ(seen.total, expected.total);
  }
}

struct ChangeCase {
  const char* label;
  std::uint64_t newSize;  // the file's size from the end of the first block on
  bool stops;             // the upload stops with the message of a file that shrank
};

TEST_F(BlockUploadTest, FileChangingWhileReadSendsOnlyWhatItHeldWhenCounted) {
  constexpr std::uint64_t kPiece = BlockReader::kReadAhead;
  constexpr std::uint64_t kSize = kPiece + 337856;
  const std::vector<ChangeCase> cases = {
      // Past the first read-ahead piece: what was read before stays, nothing stands in for
      // the rest.
      {"shrinks", kPiece + 137856, true},
      {"grows", kSize + 100000, false},
  };
  for (const ChangeCase& test : cases) {
    SCOPED_TRACE(test.label);
    const auto file = dir_ / "changing.log";
    WritePatternFile(file, kSize);
    const std::string original = testing::ReadFile(file);
    Compose({file}, {});
    const std::string wire = ExpectedWire();
    owner_.responses.clear();
    bool changed = false;
    const auto observer = ui_.Recorder().OnChange(
        "frmProcess", "lblSendProcess", [&](headless::HeadlessWidget& label) {
          if (changed || label.Caption().starts_with("0 / ")) return;
          changed = true;
          if (test.newSize < kSize) {
            std::filesystem::resize_file(file, test.newSize);
          } else {
            std::ofstream(file, std::ios::binary | std::ios::app)
                << std::string(test.newSize - kSize, 'G');
          }
        });
    testing::TempDir records;
    const auto server = testing::StartRecordingServer(records.path());
    const SessionOutcome outcome = Run(server->port());
    ui_.Recorder().RemoveObserver(observer);

    const std::string recorded = testing::WaitForRecordedConnection(records.path(), 1);
    EXPECT_TRUE(changed);
    if (test.stops) {
      ASSERT_EQ(outcome.messages.size(), 1u);
      EXPECT_TRUE(outcome.messages[0].text.starts_with("[62] ")) << outcome.messages[0].text;
      EXPECT_TRUE(owner_.responses.empty());
      // Every whole block that the shorter file still held, and not one byte more.
      const std::size_t fileStart = wire.find(original.substr(0, 16));
      EXPECT_EQ(recorded, wire.substr(0, fileStart + test.newSize / 8192 * 8192));
    } else {
      EXPECT_TRUE(outcome.messages.empty());
      EXPECT_EQ(recorded, wire);
    }
  }
}

}  // namespace
}  // namespace veldrask::upload_test
