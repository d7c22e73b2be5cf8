#include "upload/upload_request.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "backend_pieces.h"
#include "base/error.h"
#include "common/server_address.h"
#include "memory_file_system.h"
#include "upload/host_name.h"

namespace veldrask {
namespace {

using testing::MemoryFileSystem;

constexpr std::string_view kBoundary = "Q7x2Lm9PzA4kT0rWb8Nc1YeV5sHu3JdG";

class ComposeTest : public ::testing::Test {
 protected:
  UploadSettings Settings() const {
    return {.actionUrl = "/upload.php",
            .hostName = "example.test",
            .cookie = "sid=42",
            .boundary = std::string(kBoundary),
            .filePrefix = "file",
            .paddingZero = "0"};
  }

  UploadRequest Compose(const UploadSettings& settings, const std::vector<PostData>& fields,
                        const std::vector<std::string>& keys) {
    UploadRequest request;
    ComposeUploadRequest(settings, fields, keys, files, cp949, request);
    return request;
  }

  // The Content-Length the head announces.
  static long AnnouncedLength(const UploadRequest& request) {
    const auto at = request.httpHeader.find("Content-Length: ");
    return std::stol(request.httpHeader.substr(at + 16));
  }

  MemoryFileSystem files;
  const std::unique_ptr<CodePage> cp949Owned = testing::MakeKoreanCodePage();
  const CodePage& cp949 = *cp949Owned;
};

// Server rows never reach the composition (the queue leaves them out), so every key is a
// file, also one whose path holds "<".
TEST_F(ComposeTest, EveryKeyIsAFileAndLengthSumsEveryPart) {
  files.Put("C:\\a.txt", std::string(10, 'a'));
  files.Put("C:\\x<y\\b.txt", std::string(200, 'b'));
  files.Put("C:\\c", "");
  const UploadRequest request =
      Compose(Settings(), {{"k", "v"}}, {"C:\\a.txt", "C:\\x<y\\b.txt", "C:\\c"});

  ASSERT_EQ(request.attachedFiles.size(), 4u);
  long expected = static_cast<long>(request.formData.size());
  for (int n = 1; n <= 3; ++n) {
    const AttachedFile& file = request.attachedFiles[static_cast<std::size_t>(n)];
    EXPECT_NE(file.header.find("name=\"file_" + std::to_string(n) + "\""), std::string::npos);
    expected += static_cast<long>(file.header.size()) + file.size + 38;
  }
  EXPECT_EQ(request.attachedFiles[2].key, "C:\\x<y\\b.txt");
  EXPECT_EQ(request.attachedFiles[2].name, "b.txt");
  EXPECT_EQ(request.attachedFiles[3].name, "c");
  EXPECT_EQ(AnnouncedLength(request), expected);
}

TEST_F(ComposeTest, FileNumbersFollowPaddingZero) {
  EXPECT_EQ(FileNumberText(1, "1"), "001");
  EXPECT_EQ(FileNumberText(12, "1"), "012");
  EXPECT_EQ(FileNumberText(123, "1"), "123");
  EXPECT_EQ(FileNumberText(1000, "1"), "1000");
  for (const char* other : {"0", "01", "true", "", " 1"}) EXPECT_EQ(FileNumberText(7, other), "7");

  files.Put("C:\\a", "x");
  UploadSettings settings = Settings();
  settings.paddingZero = "1";
  EXPECT_NE(Compose(settings, {}, {"C:\\a"}).attachedFiles[1].header.find("name=\"file_001\""),
            std::string::npos);
  settings.filePrefix = "";
  settings.paddingZero = "0";
  EXPECT_NE(Compose(settings, {}, {"C:\\a"}).attachedFiles[1].header.find("name=\"_1\""),
            std::string::npos);
}

// The part heads' bytes are wire cases (tests/data/cases/upload); here, that a "%" already
// escaped stays as it is.
TEST(EscapePartHeadName, EscapesQuotesAndLineBreaksOnly) {
  EXPECT_EQ(EscapePartHeadName("a\"b\r\nc%22"), "a%22b%0D%0Ac%22");
}

TEST_F(ComposeTest, HeadLineBreaksAreRefusedBeforeAnythingIsComposed) {
  const std::vector<std::pair<std::string UploadSettings::*, std::string>> cases = {
      {&UploadSettings::actionUrl, "/a.php\r\nX-Evil: 1"},
      {&UploadSettings::hostName, "host\nx"},
      {&UploadSettings::cookie, std::string("a=b\0c", 5)},
      {&UploadSettings::cookie, "a=b\rSet: 1"},
  };
  for (const auto& [member, value] : cases) {
    UploadSettings settings = Settings();
    settings.*member = value;
    UploadRequest request{.httpHeader = "old head", .formData = "old form", .attachedFiles = {}};
    try {
      ComposeUploadRequest(settings, {}, {}, files, cp949, request);
      ADD_FAILURE() << "accepted " << value;
    } catch (const Error& error) {
      EXPECT_EQ(error.Number(), 5);
      EXPECT_NE(error.Description().find("줄바꿈"), std::string::npos);
    }
    EXPECT_EQ(request.httpHeader, "old head");
    EXPECT_EQ(request.formData, "old form");
  }
}

TEST_F(ComposeTest, AFailureKeepsWhatWasComposedBeforeIt) {
  files.Put("C:\\a.txt", "aa");
  UploadRequest request;
  try {
    ComposeUploadRequest(Settings(), std::vector<PostData>{{"k", "v"}},
                         std::vector<std::string>{"C:\\a.txt", "C:\\gone.txt"}, files, cp949,
                         request);
    FAIL() << "a missing file was counted";
  } catch (const Error& error) {
    EXPECT_EQ(error.Number(), 53);
  }
  EXPECT_EQ(request.httpHeader.find("Content-Length"), std::string::npos);
  EXPECT_NE(request.formData.find("name=\"k\""), std::string::npos);
  ASSERT_EQ(request.attachedFiles.size(), 3u);
  EXPECT_EQ(request.attachedFiles[1].size, 2);
  EXPECT_EQ(request.attachedFiles[2].key, "C:\\gone.txt");
  EXPECT_EQ(request.attachedFiles[2].size, 0);
}

TEST_F(ComposeTest, LengthsPastTheSigned32BitRangeOverflow) {
  files.Put("C:\\big", "");
  files.ReportSize("C:\\big", std::int64_t{1} << 31);
  EXPECT_THROW(
      try { Compose(Settings(), {}, {"C:\\big"}); } catch (const Error& e) {
        EXPECT_EQ(e.Number(), 6);
        throw;
      },
      Error);

  // Two files that fit alone but not together.
  files.ReportSize("C:\\big", (std::int64_t{1} << 30) + 1);
  files.Put("C:\\big2", "");
  files.ReportSize("C:\\big2", std::int64_t{1} << 30);
  EXPECT_THROW(Compose(Settings(), {}, {"C:\\big", "C:\\big2"}), Error);
  // The largest request that fits is still announced.
  files.ReportSize("C:\\big2", (std::int64_t{1} << 30) - 400);
  EXPECT_GT(AnnouncedLength(Compose(Settings(), {}, {"C:\\big", "C:\\big2"})), 2147483000L);
}

TEST(NormalizeHostName, KeepsTheBareHostAndASecureScheme) {
  const struct {
    std::string_view written, normalized;
  } cases[] = {
      {"http://example.test:8080/path/x.php", "example.test"},
      {"example.test/path:x", "example.test"},
      {"example.test:8080", "example.test:8080"},
      {"example.test", "example.test"},
      {":8080/path", ""},
      {"a://b://c/d", "b"},
      {"", ""},
      {"HTTP://Host.Test/", "Host.Test"},
      {"https://example.test/path", "https://example.test"},
      {"HTTPS://Host.Test:443/x", "HTTPS://Host.Test"},
      {"hTtPs://example.test:8443", "hTtPs://example.test:8443"},
      {"https://https://x/", "https://x"},
      {"https://", "https://"},
      {" https://example.test", "example.test"},
  };
  for (const auto& c : cases) EXPECT_EQ(NormalizeHostName(c.written), c.normalized) << c.written;
}

TEST(ParseServerAddress, OnlyALeadingHttpsAsksForTls) {
  const struct {
    std::string_view hostName;
    Transport transport;
    std::string_view host;
  } cases[] = {
      {"example.test", Transport::kPlain, "example.test"},
      {"http://example.test", Transport::kPlain, "http://example.test"},
      {"https://example.test", Transport::kTls, "example.test"},
      {"HTTPS://Example.Test", Transport::kTls, "Example.Test"},
      {"https:/example.test", Transport::kPlain, "https:/example.test"},
      {"xhttps://example.test", Transport::kPlain, "xhttps://example.test"},
      {"https://", Transport::kTls, ""},
  };
  for (const auto& c : cases) {
    const ServerAddress server = ParseServerAddress(c.hostName);
    EXPECT_EQ(server.transport, c.transport) << c.hostName;
    EXPECT_EQ(server.host, c.host) << c.hostName;
  }
}

}  // namespace
}  // namespace veldrask
