#include "common/file_icons.h"

#include <string>

#include "queue_fixture.h"

namespace veldrask::testing {
namespace {

using FileIconsTest = QueueTest;

TEST_F(FileIconsTest, OneImagePairPerExtensionWhileTheShellIsAskedOncePerFile) {
  const auto& small = Surface().Get<headless::HeadlessImageList>("SmallIconImageList");
  const auto& large = Surface().Get<headless::HeadlessImageList>("LargeIconImageList");
  const std::string a = files_.WriteFile("a.txt", "one");
  const std::string b = files_.WriteFile("b.txt", "two");

  const std::string first = Queue().Icons().AddFileIcon(a, "txt");
  const std::string second = Queue().Icons().AddFileIcon(b, "txt");
  EXPECT_FALSE(first.empty());
  EXPECT_EQ(second, first);
  EXPECT_EQ(shell_.asked, (std::vector<std::string>{a, b}));
  ASSERT_EQ(small.Count(), 1);
  ASSERT_EQ(large.Count(), 1);
  EXPECT_EQ(small.Key(1), "txt");
  EXPECT_FALSE(small.Image(1).name.empty());  // the type's themed icon
  EXPECT_EQ(Surface().Get<headless::HeadlessPictureBox>("LargePicture").Snapshot(), large.Image(1));

  Queue().Icons().AddFileIcon(a, "TXT");  // keys compare exactly
  EXPECT_EQ(small.Count(), 2);
}

TEST_F(FileIconsTest, UnknownFileLeavesABlankPictureThatLaterFilesShare) {
  const auto& small = Surface().Get<headless::HeadlessImageList>("SmallIconImageList");
  EXPECT_EQ(Queue().Icons().AddFileIcon(files_ / "gone.txt", "txt"), "");
  ASSERT_EQ(small.Count(), 1);
  EXPECT_TRUE(small.Image(1).Empty());

  EXPECT_FALSE(Queue().Icons().AddFileIcon(files_.WriteFile("here.txt", "x"), "txt").empty());
  EXPECT_EQ(small.Count(), 1);
  EXPECT_TRUE(small.Image(1).Empty());
}

TEST_F(FileIconsTest, FileKeysCompareExactly) {
  const std::string path = files_.WriteFile("Case.txt", "x");
  EXPECT_TRUE(Queue().IsNewFileKey(path));
  Add(path);
  EXPECT_FALSE(Queue().IsNewFileKey(path));
  EXPECT_TRUE(Queue().IsNewFileKey(files_ / "case.txt"));
}

}  // namespace
}  // namespace veldrask::testing
