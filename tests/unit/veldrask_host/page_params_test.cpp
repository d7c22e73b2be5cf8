// Reading the control's parameters from the <object> element of a page.
#include "page_params.h"

#include <gtest/gtest.h>

#include <string>

#include "control_run.h"

namespace veldrask::host {
namespace {

using Params = PageParams;

std::string EucKr(std::string_view utf8) {
  return MakeAnsiCodePage()->Encode(utf8);
}

Params Read(std::string_view html) {
  return ReadPageParams(html, "page.html");
}

TEST(PageParamsTest, ALegacyEucKrPageIsReadByItsDeclaredCharset) {
  const std::string page = EucKr(
      "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=euc-kr\">"
      "</HEAD><BODY><OBJECT ID=Uploader CLASSID=\"clsid:00000000-0000-0000-0000-000000000000\">"
      "<PARAM NAME=\"MainTitle\" VALUE=\"파일 올리기\">"
      "<PARAM NAME=\"ExcludeFileExtension\" VALUE=\"exe|bat\">"
      "</OBJECT></BODY></HTML>");
  EXPECT_EQ(Read(page),
            (Params{{"MainTitle", "파일 올리기"}, {"ExcludeFileExtension", "exe|bat"}}));
}

TEST(PageParamsTest, TheShortCharsetDeclarationCountsToo) {
  const std::string page = "<!DOCTYPE html><meta charset=\"EUC-KR\"><object>" +
                           EucKr("<param name=a value=\"한글\">") + "</object>";
  EXPECT_EQ(Read(page), (Params{{"a", "한글"}}));
}

TEST(PageParamsTest, WithoutADeclarationUtf8IsTakenAsItIsAndOtherBytesAsEucKr) {
  EXPECT_EQ(Read("<object><param name=t value='보고서'></object>"), (Params{{"t", "보고서"}}));
  EXPECT_EQ(Read(EucKr("<object><param name=t value='보고서'></object>")),
            (Params{{"t", "보고서"}}));
}

TEST(PageParamsTest, ParamsInsideOtherElementsCountButANestedObjectKeepsItsOwn) {
  const std::string page =
      "<html><body><div><object id=control>"
      "<param name=HostName value=\"files.example\">"
      "<div><span><param name=ServerPort value=8080></span></div>"
      "<object type=\"application/x-fallback\"><param name=HostName value=wrong></object>"
      "<param name=ActionURL value=\"/up.php?a=1&amp;b=2\">"
      "<param value=\"no name\">"
      "</object></div>"
      "<object><param name=HostName value=second></object></body></html>";
  EXPECT_EQ(Read(page), (Params{{"HostName", "files.example"},
                                {"ServerPort", "8080"},
                                {"ActionURL", "/up.php?a=1&b=2"},
                                {"", "no name"}}));
}

TEST(PageParamsTest, APageWithoutAnObjectOrAReadableFileIsRefused) {
  EXPECT_THROW(Read("<html><body><param name=a value=b></body></html>"), PageError);
  EXPECT_THROW(Read(""), PageError);
  EXPECT_THROW(ReadPageParamsFromFile("/nonexistent/page.html"), PageError);
  EXPECT_THROW(ReadPageParamsFromFile("/"), PageError);
  try {
    Read("<p>text</p>");
    FAIL();
  } catch (const PageError& error) {
    EXPECT_STREQ(error.what(), "page.html: the page has no <object> element");
  }
}

// Reading stops at a NUL and at bytes the charset does not have; what follows, such as the
// excluded extensions, must not be lost unseen. Nothing reaches stderr from the parser.
TEST(PageParamsTest, APageThatCannotBeReadWholeIsRefusedNamingTheLine) {
  using namespace std::string_literals;
  const std::string tail = "\n<param name=ExcludeFileExtension value=\"exe|sh\">\n</object>";
  const struct {
    std::string page;
    std::string message;
  } cases[] = {
      {"<meta charset=euc-kr><object>\n<param name=MainTitle value=\"a\xff\xfe\">" + tail,
       "page.html: line 2: bytes that are not euc-kr (input conversion failed due to input "
       "error, bytes 0xFF 0xFE 0x22 0x3E); the page cannot be read whole"},
      {"<meta charset=utf-8><object>\n\n<param name=MainTitle value=\"a\0b\">"s + tail,
       "page.html: line 3: a NUL byte; the page cannot be read whole"},
      {"<object>\n<param name=MainTitle value=\"a\0b\">"s + tail,
       "page.html: line 2: a NUL byte; the page cannot be read whole"},
      {"<object>\n<param name=MainTitle value=\"\xc7\xd1\xff\">" + tail,
       "page.html: line 2: bytes that are not CP949 (input conversion failed due to input "
       "error, bytes 0xFF 0x22 0x3E 0x0A); the page cannot be read whole"},
  };
  for (const auto& c : cases) {
    ::testing::internal::CaptureStderr();
    try {
      Read(c.page);
      ADD_FAILURE() << "read: " << c.page;
    } catch (const PageError& error) {
      EXPECT_EQ(error.what(), c.message);
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  }
  // A sloppy page is still read whole, quietly.
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Read("<object><foo>\n<param name=a value=b></bar><param name=c value=d></object>"),
            (Params{{"a", "b"}, {"c", "d"}}));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace veldrask::host
