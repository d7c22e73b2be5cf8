// Which names a session may ask the server for.

#include <gtest/gtest.h>

#include "base/text.h"
#include "window_fixture.h"

namespace veldrask::testing {
namespace {

using Names = std::vector<std::string>;

struct CharsetCase {
  const char* charset;
  Names requested;
  Names files;
  bool refused;
};

class UnwritableNames : public DownloadWindowTest,
                        public ::testing::WithParamInterface<CharsetCase> {};

TEST_P(UnwritableNames, AreNotAskedForUnlessCharsetIsUtf8) {
  owner.charset = GetParam().charset;
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
    ::testing::Values(CharsetCase{"", {"GET /ok/\xB0\xA1.txt HTTP/1.1"}, {"가.txt"}, true},
                      CharsetCase{"utf-8",
                                  {"GET /f/%F0%9F%98%80%20%EA%B0%80.txt HTTP/1.1",
                                   "GET /ok/\xB0\xA1.txt HTTP/1.1"},
                                  {"가.txt", "😀 가.txt"},
                                  false}));

}  // namespace
}  // namespace veldrask::testing
