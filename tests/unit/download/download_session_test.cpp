// The download window's session against a scripted server, writing real files. The wire cases
// of a session are data: tests/data/cases/download.

#include <gtest/gtest.h>

#include "base/text.h"
#include "window_fixture.h"

namespace veldrask::testing {
namespace {

using Names = std::vector<std::string>;

TEST_F(DownloadWindowTest, TakenNamesAreNumberedBeforeTheFirstDot) {
  Put("a.txt", "old a");
  Put("a[1].txt", "old a1");
  Put("README", "old readme");
  Put("report.tar.gz", "old report");
  owner.Add("/a.txt", "a.txt", 1);
  owner.Add("/README", "README", 1);
  owner.Add("/report.tar.gz", "report.tar.gz", 1);
  network.SetServer([](const std::string& request) { return Serve(Split(request, " ")[1]); });

  Run();

  // Windows stores a name without its trailing dot.
  const std::string readme1 = base.files.Separator() == "\\" ? "README[1]" : "README[1].";
  EXPECT_EQ(FolderNames(), (Names{"README", readme1, "a.txt", "a[1].txt", "a[2].txt",
                                  "report.tar.gz", "report[1].tar.gz"}));
  EXPECT_EQ(Content("a.txt"), "old a");
  EXPECT_EQ(Content("a[2].txt"), "/a.txt");
  EXPECT_EQ(Content("README[1]."), "/README");
  EXPECT_EQ(Content("report[1].tar.gz"), "/report.tar.gz");
  EXPECT_EQ(Rows().RowText(1), "a[2].txt");
  EXPECT_EQ(Rows().RowText(2), "README[1].");
}

TEST_F(DownloadWindowTest, AMissingParentFolderEndsTheSessionWithTheErrorShown) {
  owner.folder = base.Scratch() / "no/such/folder";
  owner.Add("/a.txt", "a.txt", 1);

  Run();

  EXPECT_EQ(network.connections, 0);
  ASSERT_EQ(ui.Messages().size(), 1U);
  EXPECT_EQ(ui.Messages()[0].icon, MessageIcon::kCritical);
  EXPECT_TRUE(ui.Messages()[0].text.starts_with("[76] "));
}

}  // namespace
}  // namespace veldrask::testing
