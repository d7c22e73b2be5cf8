// veldrask call, encode, decode and the command line itself.
#include <gtest/gtest.h>

#include <string>

#include "cli_test.h"
#include "common/engine_title.h"
#include "support/files.h"

namespace veldrask::testing {
namespace {

using CallCliTest = CliTest;

TEST_F(CallCliTest, PropertiesAreReadAndSetAndMethodsCalledByName) {
  EXPECT_EQ(Run({"call", "EngTitleVer"}).out, std::string(kEngineTitle) + "\n");
  EXPECT_EQ(Run({"call", "maxfilecount"}).out, "1\n") << "names ignore letter case";
  EXPECT_EQ(Run({"--param", "MAXFILESIZE=5", "call", "MaxFileSize"}).out, "5\n");
  const CliResult assigned = Run({"call", "MaxFileCount=7"});
  EXPECT_EQ(assigned.status, 0);
  EXPECT_EQ(assigned.out, "");
  EXPECT_EQ(Run({"call", "AddUploadedFile", "a b.txt", "512"}).status, 0);
  const CliResult files = Run({"call", "AttachedFileList"});
  EXPECT_EQ(files.status, 0);
  EXPECT_EQ(files.out, "") << "no Submit yet: no files";
}

TEST_F(CallCliTest, AnEucKrPageGivesTheControlItsKoreanParameters) {
  const auto page =
      WritePage("page.html", {{"MainTitle", "자료실"}, {"FilePrefix", "첨부"}}, "EUC-KR");
  EXPECT_EQ(Run({"--page", page.string(), "call", "MainTitle"}).out,
            "자료실 [" + std::string(kEngineTitle) + "]\n");
  EXPECT_EQ(
      Run({"--page", page.string(), "--param", "fileprefix=덮어씀", "call", "FilePrefix"}).out,
      "덮어씀\n");

  // No charset declared: a page that is not UTF-8 is read as EUC-KR.
  const auto legacy = Write("legacy.html", Cp949("<object><param name=MainTitle value='옛 페이지'>"
                                                 "</object>"));
  EXPECT_EQ(Run({"--page", legacy.string(), "call", "MainTitle"}).out,
            "옛 페이지 [" + std::string(kEngineTitle) + "]\n");
}

// A libxml2 that cannot be loaded, found first: only a run that reads a page may need it.
TEST_F(CallCliTest, OnlyReadingAPageLoadsTheXmlLibrary) {
  if (WindowsHost()) GTEST_SKIP() << "veldrask.exe links the library";
  const auto broken = Write("libs/libxml2.so.2", "not a library");
  const auto page = WritePage("page.html", {{"MainTitle", "자료실"}});
  const auto run = [&](const std::vector<std::string>& arguments) {
    return Start(arguments, ErrorOutput::kPipe,
                 {"LD_LIBRARY_PATH=" + broken.parent_path().string()})
        ->Finish(kRunLimit);
  };
  const CliResult plain = run({"call", "MaxFileCount"});
  EXPECT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(plain.out, "1\n");
  const CliResult paged = run({"--page", page.string(), "call", "MainTitle"});
  EXPECT_EQ(paged.status, 1);
  EXPECT_EQ(paged.out, "");
  EXPECT_TRUE(paged.err.starts_with(
      "veldrask: HTML 페이지를 읽는 데 필요한 libxml2.so.2을(를) 불러올 수 없습니다: "))
      << paged.err;
}

TEST_F(CallCliTest, RegistryMethodsReturnTheirStatusCodes) {
  const std::vector<std::string> save = {"call",           "RegiSaveString", "-2147483646",
                                         "Software\\Test", "Name",           "값"};
  EXPECT_EQ(Run(save).out, "0\n");
  const std::vector<std::string> remove = {"call", "RegiDeleteValue", "-2147483646",
                                           "Software\\Test", "Name"};
  EXPECT_EQ(Run(remove).out, "0\n");
  EXPECT_EQ(Run(remove).out, "2\n") << "gone since the previous run";
}

TEST_F(CallCliTest, MemberErrorsAreMessagesWithTheirStatus) {
  const CliResult unknown = Run({"call", "Nothing"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("call Nothing: [438]"), std::string::npos) << unknown.err;
  EXPECT_EQ(Run({"call", "AddUploadedFile", "a.txt"}).status, 2) << "a missing argument";
  EXPECT_EQ(Run({"call", "EngTitleVer=x"}).status, 2) << "a read-only property";
  const CliResult overflow = Run({"call", "MaxFileCount=40000"});
  EXPECT_EQ(overflow.status, 1);
  EXPECT_NE(overflow.err.find("[6]"), std::string::npos) << overflow.err;
  EXPECT_EQ(Run({"call", "MaxFileCount=7", "extra"}).status, 2);
}

TEST_F(CallCliTest, EncodeAndDecodeUseTheKoreanCodePageOrUtf8) {
  EXPECT_EQ(Run({"encode", "a b.txt 가"}).out, "a+b%2Etxt+%B0A1\n");
  EXPECT_EQ(Run({"decode", "%B0%A1.txt+x"}).out, "가.txt+x\n");
  EXPECT_EQ(Run({"encode", "--charset", "UTF-8", "a b.txt 가"}).out, "a+b%2Etxt+%EA%B0%80\n");
  EXPECT_EQ(Run({"decode", "--charset", "utf8", "%EA%B0%80.txt"}).out, "가.txt\n");
  EXPECT_EQ(Run({"decode", "--charset", "latin2", "x"}).status, 1);
  const CliResult bad = Run({"decode", "%G1"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("[13]"), std::string::npos);
  EXPECT_EQ(Run({"encode"}).status, 2);
  EXPECT_EQ(Run({"encode", "a", "b"}).status, 2);
}

TEST_F(CallCliTest, VersionNamesTheToolsVersionAndCommitBesideTheControlsTitle) {
  for (const std::string_view option : {"--version", "-V"}) {
    const CliResult result = Run({std::string(option)});
    EXPECT_EQ(result.status, 0);
    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 2u) << result.out;
    EXPECT_TRUE(lines[0].starts_with("veldrask 1.8 (commit ")) << lines[0];
    EXPECT_EQ(lines[0].find("commit unknown"), std::string::npos) << "built from a git tree";
    EXPECT_EQ(lines[1], "control: 초록모래 파일트랜스퍼 Ver 1.8");
  }
}

TEST_F(CallCliTest, UsageErrorsExitTwoAndHelpExitsZero) {
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{},
                                             {"fly"},
                                             {"--bogus", "call", "EngTitleVer"},
                                             {"--param", "=1", "call", "EngTitleVer"},
                                             {"--page"},
                                             {"upload", "--bogus", "a.txt"},
                                             {"download", "--to"},
                                             {"call"}}) {
    const CliResult result = Run(arguments);
    EXPECT_EQ(result.status, 2) << ::testing::PrintToString(arguments);
    EXPECT_NE(result.err.find("veldrask: "), std::string::npos);
    EXPECT_EQ(result.out, "");
  }
  const CliResult help = Run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("upload   [--field NAME=VALUE]"), std::string::npos);
  EXPECT_NE(Run({"download", "--help"}).out.find("--overwrite"), std::string::npos);
  EXPECT_NE(Run({"help", "call"}).out.find("MEMBER=VALUE"), std::string::npos);
}

}  // namespace
}  // namespace veldrask::testing
