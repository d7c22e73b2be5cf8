#include "upload/upload_request.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "backend_pieces.h"
#include "base/error.h"
#include "common/server_address.h"
#include "memory_file_system.h"
#include "upload/host_name.h"
#include "upload/utf8_code_page.h"

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

TEST_F(ComposeTest, WorkedExampleIsByteExact) {
  files.Put("C:\\docs\\a.txt", "12345");
  const UploadRequest request =
      Compose(Settings(), {{"title", "hello"}, {"user", "kim"}}, {"C:\\docs\\a.txt"});

  EXPECT_EQ(request.httpHeader,
            "POST /upload.php HTTP/1.1\r\n"
            "Host: example.test\r\n"
            "Content-Type: multipart/form-data; boundary=Q7x2Lm9PzA4kT0rWb8Nc1YeV5sHu3JdG\r\n"
            "Connection: Keep-Alive\r\n"
            "Cookie: sid=42\r\n"
            "Content-Length: 365\r\n"
            "\r\n");
  const std::string fieldTitle =
      "--Q7x2Lm9PzA4kT0rWb8Nc1YeV5sHu3JdG\r\n"
      "Content-Disposition: form-data; name=\"title\"\r\n\r\nhello\r\n";
  const std::string fieldUser =
      "--Q7x2Lm9PzA4kT0rWb8Nc1YeV5sHu3JdG\r\n"
      "Content-Disposition: form-data; name=\"user\"\r\n\r\nkim\r\n";
  EXPECT_EQ(fieldTitle.size(), 91u);
  EXPECT_EQ(fieldUser.size(), 88u);
  EXPECT_EQ(request.formData, fieldTitle + fieldUser + "--Q7x2Lm9PzA4kT0rWb8Nc1YeV5sHu3JdG\r\n");
  EXPECT_EQ(request.formData.size(), 215u);

  ASSERT_EQ(request.attachedFiles.size(), 2u);
  EXPECT_EQ(request.attachedFiles[0], AttachedFile{});
  const AttachedFile& file = request.attachedFiles[1];
  EXPECT_EQ(file.key, "C:\\docs\\a.txt");
  EXPECT_EQ(file.name, "a.txt");
  EXPECT_EQ(file.size, 5);
  EXPECT_EQ(file.header,
            "Content-Disposition: form-data; name=\"file_1\"; filename=\"a.txt\"\r\n"
            "Content-Type: application/octet-stream\r\n\r\n");
  EXPECT_EQ(file.header.size(), 107u);
  EXPECT_EQ(PartTail(kBoundary, true), "\r\n--Q7x2Lm9PzA4kT0rWb8Nc1YeV5sHu3JdG--");
  EXPECT_EQ(PartTail(kBoundary, true).size(), 38u);
  EXPECT_EQ(PartTail(kBoundary, false), "\r\n--Q7x2Lm9PzA4kT0rWb8Nc1YeV5sHu3JdG\r\n");
}

TEST_F(ComposeTest, NoLocalRowOnlyClosesTheBody) {
  const UploadRequest request = Compose(Settings(), {}, {});
  EXPECT_EQ(request.formData, "--Q7x2Lm9PzA4kT0rWb8Nc1YeV5sHu3JdG--");
  EXPECT_EQ(AnnouncedLength(request), 36);
  ASSERT_EQ(request.attachedFiles.size(), 1u);
}

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

TEST_F(ComposeTest, KoreanTextIsCountedInTheBodyCodePage) {
  files.Put("C:\\자료\\한글파일.txt", "abc");
  const UploadRequest request = Compose(Settings(), {{"제목", "안녕"}}, {"C:\\자료\\한글파일.txt"});
  const AttachedFile& file = request.attachedFiles[1];
  EXPECT_EQ(file.name, "한글파일.txt");
  // Four syllables: 8 bytes in CP949 where UTF-8 has 12.
  EXPECT_EQ(cp949.Encode(file.header).size(), 107u - 5u + 8u + 4u);
  const long expected =
      static_cast<long>(cp949.Encode(request.formData).size() + cp949.Encode(file.header).size()) +
      3 + 38;
  EXPECT_EQ(AnnouncedLength(request), expected);

  // The same request counted in UTF-8 announces the UTF-8 bytes.
  Utf8CodePage utf8;
  UploadRequest inUtf8;
  ComposeUploadRequest(Settings(), std::vector<PostData>{{"제목", "안녕"}},
                       std::vector<std::string>{"C:\\자료\\한글파일.txt"}, files, utf8, inUtf8);
  EXPECT_EQ(
      AnnouncedLength(inUtf8),
      static_cast<long>(inUtf8.formData.size() + inUtf8.attachedFiles[1].header.size()) + 3 + 38);
}

TEST_F(ComposeTest, NamesCannotBreakThePartHead) {
  EXPECT_EQ(EscapePartHeadName("a\"b\r\nc%22"), "a%22b%0D%0Ac%22");
  files.Put("C:\\x\"y\r\nz.txt", "1");
  UploadSettings settings = Settings();
  settings.filePrefix = "f\"";
  const UploadRequest request =
      Compose(settings, {{"na\"me\r\n", "va\"l\r\nue"}}, {"C:\\x\"y\r\nz.txt"});
  EXPECT_NE(request.formData.find("name=\"na%22me%0D%0A\"\r\n\r\nva\"l\r\nue\r\n"),
            std::string::npos);
  EXPECT_EQ(request.attachedFiles[1].header,
            "Content-Disposition: form-data; name=\"f%22_1\"; filename=\"x%22y%0D%0Az.txt\"\r\n"
            "Content-Type: application/octet-stream\r\n\r\n");
  // The value keeps its own quote and line break: it is counted as sent.
  EXPECT_EQ(
      AnnouncedLength(request),
      static_cast<long>(request.formData.size() + request.attachedFiles[1].header.size()) + 1 + 38);
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
