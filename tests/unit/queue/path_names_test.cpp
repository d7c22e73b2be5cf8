#include "common/path_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "queue/add_limits.h"

namespace veldrask {
namespace {

using Paths = std::vector<std::string>;

std::string Selection(std::string folder, const Paths& names) {
  for (const std::string& name : names) {
    folder.push_back('\0');
    folder += name;
  }
  return folder;
}

TEST(ExtensionKey, TakesTheTextAfterTheLastDotOfTheLastSegment) {
  EXPECT_EQ(ExtensionKey("/home/u/archive.tar.GZ", "/"), "GZ");
  EXPECT_EQ(ExtensionKey("/home/u/README", "/"), "__NONE__");
  EXPECT_EQ(ExtensionKey("/home/my.dir/README", "/"), "__NONE__");
  EXPECT_EQ(ExtensionKey("C:\\Data.old\\report.Doc", "\\"), "Doc");
  EXPECT_EQ(ExtensionKey("trailing.", "/"), "");
  EXPECT_EQ(ExtensionKey(".profile", "/"), "profile");
}

TEST(JoinPath, AddsNoSecondSeparatorToAFolderEndingWithOne) {
  EXPECT_EQ(JoinPath("/", "etc", "/"), "/etc");
  EXPECT_EQ(JoinPath("/ab", "x.txt", "/"), "/ab/x.txt");
  EXPECT_EQ(JoinPath("/home/u", "x.txt", "/"), "/home/u/x.txt");
  EXPECT_EQ(JoinPath("C:\\", "a.txt", "\\"), "C:\\a.txt");
  EXPECT_EQ(JoinPath("C:\\Data", "a.txt", "\\"), "C:\\Data\\a.txt");
}

TEST(SelectionPaths, OneNameIsTheFullPathAndSeveralAreJoinedToTheFolder) {
  EXPECT_EQ(SelectionPaths("/home/u/a b.txt", "/"), Paths{"/home/u/a b.txt"});
  EXPECT_FALSE(IsMultipleSelection("/home/u/a b.txt"));

  const std::string several = Selection("/home/u", {"b.txt", "a.txt"});
  EXPECT_TRUE(IsMultipleSelection(several));
  EXPECT_EQ(SelectionPaths(several, "/"), (Paths{"/home/u/b.txt", "/home/u/a.txt"}));
  EXPECT_EQ(SelectionPaths(Selection("/", {"a", "b"}), "/"), (Paths{"/a", "/b"}));
  EXPECT_EQ(SelectionPaths(Selection("C:\\", {"a"}), "\\"), Paths{"C:\\a"});
  // A trailing NUL, as some dialogs end the list, names no file.
  EXPECT_EQ(SelectionPaths(Selection("/d", {"a", ""}), "/"), Paths{"/d/a"});
}

TEST(ExcludedExtensions, MatchTrimmedEntriesInAnyLetterCase) {
  const std::string refused = "exe| DLL ||";
  EXPECT_TRUE(IsExcludedExtension(refused, "EXE"));
  EXPECT_TRUE(IsExcludedExtension(refused, "dll"));
  EXPECT_FALSE(IsExcludedExtension(refused, "txt"));
  EXPECT_FALSE(IsExcludedExtension(refused, ""));  // the empty entries are no entries
  EXPECT_FALSE(IsExcludedExtension(".exe", "exe"));
  EXPECT_TRUE(IsExcludedExtension("txt|__NONE__", "__NONE__"));
  EXPECT_FALSE(IsExcludedExtension("", "exe"));
  EXPECT_TRUE(IsExcludedExtension("É|ΔΟΚ", "é"));  // letters beyond ASCII have capitals too
  EXPECT_TRUE(IsExcludedExtension("É|ΔΟΚ", "δοκ"));
  EXPECT_FALSE(IsExcludedExtension("한글", "한"));
}

TEST(MegabyteLimits, StopWhereBytesLeaveThirtyTwoBits) {
  EXPECT_EQ(MegabytesToBytes(0), 0);
  EXPECT_EQ(MegabytesToBytes(1), 1048576);
  EXPECT_EQ(MegabytesToBytes(2047), 2146435072);
  EXPECT_EQ(MegabytesToBytes(2048), std::nullopt);
  EXPECT_EQ(MegabytesToBytes(-2048), -2147483647 - 1);
  EXPECT_EQ(MegabytesToBytes(-2049), std::nullopt);
}

}  // namespace
}  // namespace veldrask
