// Names are taken only by complete files, in one step, and what a killed session left goes.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "base/text.h"
#include "window_fixture.h"

namespace veldrask::testing {
namespace {

using Names = std::vector<std::string>;

TEST_F(DownloadWindowTest, ANameTakenDuringTheDownloadIsClaimedUnderTheNextNumber) {
  owner.Add("/a.txt", "a.txt", 4);
  network.SetServer([this](const std::string&) {
    std::vector<ServerStep> steps = {Call([this] {
      EXPECT_TRUE(FolderNames().empty()) << "no placeholder under the name";
      Put("a.txt", "someone else's");
      Put("a[1].txt", "and another");
    })};
    for (ServerStep& step : Serve("body")) steps.push_back(std::move(step));
    return steps;
  });

  Run();

  EXPECT_EQ(FolderNames(), (Names{"a.txt", "a[1].txt", "a[2].txt"}));
  EXPECT_EQ(Content("a.txt"), "someone else's");
  EXPECT_EQ(Content("a[2].txt"), "body");
  EXPECT_EQ(Rows().ToolTip(1), "a[2].txt");
  EXPECT_EQ(Status(1), "완료");
}

TEST_F(DownloadWindowTest, TemporaryFilesOfEndedSessionsAreRemovedAndLiveOnesKept) {
  std::filesystem::create_directories(Folder());
  const auto path = [this](const char* name) { return (Folder() / name).string(); };
  Put("VELDRASKUPDN.part.1", "left by a killed session");
  Put("VELDRASKUPDN.part.5", "abandoned for two days");
  Put("VELDRASKUPDN.part.", "not one of ours, but in our name");
  Put("VELDRASKUPDN.parts", "a user's file");
  const auto live = base.files.CreateExclusive(path("VELDRASKUPDN.part.7"));
  const auto stuck = base.files.CreateExclusive(path("VELDRASKUPDN.part.8"));
  const auto twoDaysAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(48);
  std::filesystem::last_write_time(path("VELDRASKUPDN.part.5"), twoDaysAgo);
  std::filesystem::last_write_time(path("VELDRASKUPDN.part.8"), twoDaysAgo);
  owner.Add("/a.txt", "a.txt", 1);
  network.SetServer([](const std::string&) { return Serve("x"); });

  Run();

  // A day-old file still held open goes too, where the system lets an open file be removed;
  // Windows does not.
  Names expected{"VELDRASKUPDN.part.7", "VELDRASKUPDN.parts", "a.txt"};
  if (base.files.Separator() == "\\") expected.insert(expected.begin() + 1, "VELDRASKUPDN.part.8");
  EXPECT_EQ(FolderNames(), expected);
}

struct CharsetCase {
  bool utf8Names;
  Names requested;
  Names files;
  bool refused;
};

class UnwritableNames : public DownloadWindowTest,
                        public ::testing::WithParamInterface<CharsetCase> {};

TEST_P(UnwritableNames, AreNotAskedForUnlessCharsetIsUtf8) {
  owner.utf8Names = GetParam().utf8Names;
  owner.Add("/f/😀 가.txt", "😀 가.txt", 1);
  owner.Add("/ok/가.txt", "가.txt", 1);
  network.SetServer([](const std::string&) { return Serve("x"); });

  Run();

  Names requested;
  for (const std::string& request : network.requests) {
    requested.push_back(Split(request, "\r\n")[0]);
  }
  EXPECT_EQ(requested, GetParam().requested);
  EXPECT_EQ(FolderNames(), GetParam().files);
  ASSERT_EQ(ui.Messages().size(), GetParam().refused ? 1U : 0U);
  if (GetParam().refused) {
    EXPECT_TRUE(Contains(ui.Messages()[0].text, "Charset을 UTF-8로")) << ui.Messages()[0].text;
    EXPECT_TRUE(ui.Messages()[0].text.ends_with("\r\n\r\n😀 가.txt"));
    EXPECT_EQ(Status(1), "실패");
  }
}

INSTANTIATE_TEST_SUITE_P(
    DownloadWindowTest, UnwritableNames,
    ::testing::Values(CharsetCase{false, {"GET /ok/\xB0\xA1.txt HTTP/1.1"}, {"가.txt"}, true},
                      CharsetCase{true,
                                  {"GET /f/%F0%9F%98%80%20%EA%B0%80.txt HTTP/1.1",
                                   "GET /ok/\xB0\xA1.txt HTTP/1.1"},
                                  {"가.txt", "😀 가.txt"},
                                  false}));

}  // namespace
}  // namespace veldrask::testing
