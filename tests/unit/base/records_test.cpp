#include "base/records.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veldrask {
namespace {

std::vector<std::string> Keys(std::span<const AttachedFile> files) {
  std::vector<std::string> keys;
  for (const AttachedFile& file : files) keys.push_back(file.key);
  return keys;
}

TEST(FileListsTest, EachListGivesItsFilesWithoutTheEmptyEntry) {
  const AttachedFile a{.key = "a", .name = "a", .size = 1, .header = {}};
  const AttachedFile b{.key = "b", .name = "b", .size = 2, .header = {}};
  struct Case {
    std::vector<AttachedFile> list;
    std::vector<std::string> upload;
    std::vector<std::string> download;
  };
  const Case cases[] = {
      {{}, {}, {}},
      {{AttachedFile{}}, {}, {}},
      {{AttachedFile{}, a, b}, {"a", "b"}, {"", "a"}},
      {{a, b, AttachedFile{}}, {"b", ""}, {"a", "b"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Keys(FilesOfUploadList(c.list)), c.upload);
    EXPECT_EQ(Keys(FilesOfDownloadList(c.list)), c.download);
  }
}

}  // namespace
}  // namespace veldrask
