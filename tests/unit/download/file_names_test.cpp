// Names the session writes under and the request it sends.

#include <gtest/gtest.h>

#include "download/download_request.h"
#include "download/safe_file_name.h"

namespace veldrask {
namespace {

TEST(SafeFileName, KeepsOrdinaryNames) {
  EXPECT_EQ(SafeFileName("가.txt", "/"), "가.txt");
  EXPECT_EQ(SafeFileName("report.tar.gz", "\\"), "report.tar.gz");
  EXPECT_EQ(SafeFileName("...", "/"), "...");
}

TEST(SafeFileName, ReplacesSeparatorsColonsAndControlCharacters) {
  EXPECT_EQ(SafeFileName("../../etc/passwd", "/"), ".._.._etc_passwd");
  EXPECT_EQ(SafeFileName("..\\..\\boot.ini", "/"), ".._.._boot.ini");
  EXPECT_EQ(SafeFileName("C:evil.txt", "/"), "C_evil.txt");
  EXPECT_EQ(SafeFileName(std::string("a\0b\r\n\x7F.txt", 10), "/"), "a_b___.txt");
}

TEST(SafeFileName, RefusesTheFolderNamesAndEmptiness) {
  EXPECT_EQ(SafeFileName(".", "/"), kFallbackFileName);
  EXPECT_EQ(SafeFileName("..", "/"), kFallbackFileName);
  EXPECT_EQ(SafeFileName("", "/"), kFallbackFileName);
  EXPECT_EQ(SafeFileName("..", "\\"), kFallbackFileName);
}

TEST(SafeFileName, AppliesTheWindowsRulesWhereTheSeparatorIsABackslash) {
  EXPECT_EQ(SafeFileName("a<b>c\"d|e?f*g.txt", "\\"), "a_b_c_d_e_f_g.txt");
  EXPECT_EQ(SafeFileName("a<b>.txt", "/"), "a<b>.txt");
  EXPECT_EQ(SafeFileName("notes. . ", "\\"), "notes");
  EXPECT_EQ(SafeFileName("notes. . ", "/"), "notes. . ");
  EXPECT_EQ(SafeFileName("CON", "\\"), "_CON");
  EXPECT_EQ(SafeFileName("nul.txt", "\\"), "_nul.txt");
  EXPECT_EQ(SafeFileName("Com7.tar.gz", "\\"), "_Com7.tar.gz");
  EXPECT_EQ(SafeFileName("LPT1 .txt", "\\"), "_LPT1 .txt");
  EXPECT_EQ(SafeFileName("COM0.txt", "\\"), "COM0.txt");
  EXPECT_EQ(SafeFileName("CONSOLE.txt", "\\"), "CONSOLE.txt");
  EXPECT_EQ(SafeFileName("CON", "/"), "CON");
  EXPECT_EQ(SafeFileName(" . ", "\\"), kFallbackFileName);
}

TEST(NumberedName, NumbersBeforeTheFirstDot) {
  EXPECT_EQ(NumberedName("a.txt", 2), "a[2].txt");
  EXPECT_EQ(NumberedName("report.tar.gz", 1), "report[1].tar.gz");
  EXPECT_EQ(NumberedName("README", 1), "README[1].");
  EXPECT_EQ(NumberedName(".profile", 3), "[3].profile");
}

TEST(DownloadRequest, HasFiveLinesWithTheEscapedTarget) {
  EXPECT_EQ(DownloadRequestText("/d/%B0%A1 x.txt", "example.com"),
            "GET /d/%B0%A1%20x.txt HTTP/1.1\r\nHost: example.com\r\nConnect: close\r\n"
            "Accept: */*\r\n\r\n");
  EXPECT_EQ(EscapeRequestTarget(std::string("/\r\n\t\x7F\0?q=1", 10)), "/%0D%0A%09%7F%00?q=1");
  EXPECT_EQ(EscapeRequestTarget("/\xB0\xA1"), "/\xB0\xA1");
}

TEST(DownloadRequest, RefusesHostNamesThatCouldAddLines) {
  EXPECT_TRUE(IsSendableHostName("example.com:8080"));
  EXPECT_TRUE(IsSendableHostName(""));
  EXPECT_FALSE(IsSendableHostName("example.com\r\nX: 1"));
  EXPECT_FALSE(IsSendableHostName("example.com\n"));
  EXPECT_FALSE(IsSendableHostName(std::string("a\0b", 3)));
}

}  // namespace
}  // namespace veldrask
