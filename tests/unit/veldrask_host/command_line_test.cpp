// Parsing the command line and turning its arguments into the control's inputs: options,
// the file dialog's selection and member calls.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "file_selection.h"
#include "map_property_bag.h"
#include "member_call.h"
#include "options.h"
#include "url_option.h"

namespace veldrask::host {
namespace {

using Arguments = std::vector<std::string>;

TEST(OptionsTest, PageOptionsGoBeforeOrAfterTheCommand) {
  const Options options = ParseOptions(
      {"--page", "up.html", "--param", "HostName=a=b", "upload", "--quiet", "--cookie", "sid=1",
       "--field", "title=", "--uploaded", "c:\\old:name.txt:42", "x.txt", "--", "--odd.txt"});
  EXPECT_EQ(options.command, Command::kUpload);
  EXPECT_EQ(options.page, "up.html");
  ASSERT_EQ(options.params.size(), 1u);
  EXPECT_EQ(options.params[0], std::make_pair(std::string("HostName"), std::string("a=b")));
  EXPECT_TRUE(options.quiet);
  EXPECT_EQ(options.cookie, "sid=1");
  EXPECT_EQ(options.fields[0], std::make_pair(std::string("title"), std::string()));
  ASSERT_EQ(options.uploaded.size(), 1u);
  EXPECT_EQ(options.uploaded[0].name, "c:\\old:name.txt") << "the size follows the last colon";
  EXPECT_EQ(options.uploaded[0].size, 42);
  EXPECT_EQ(options.files, (Arguments{"x.txt", "--odd.txt"}));
}

TEST(OptionsTest, DownloadRowsAndChoices) {
  const Options options = ParseOptions(
      {"download", "--to", "in", "--overwrite", "--untick", "2", "/a%20b.txt:10", "/c.txt:-1"});
  EXPECT_EQ(options.folder, "in");
  EXPECT_TRUE(options.overwrite);
  EXPECT_EQ(options.untick, std::vector<std::int32_t>{2});
  ASSERT_EQ(options.downloads.size(), 2u);
  EXPECT_EQ(options.downloads[0].name, "/a%20b.txt");
  EXPECT_EQ(options.downloads[1].size, -1) << "sizes are the page's to give";
}

TEST(OptionsTest, ValuesMayBeAttachedAndSizesLeftOut) {
  const Options upload = ParseOptions({"--param=HostName=h", "--max-time=1.5", "upload",
                                       "--field=t=v", "--output=r.bin", "-v", "a.txt"});
  EXPECT_EQ(upload.params, (std::vector<std::pair<std::string, std::string>>{{"HostName", "h"}}));
  EXPECT_EQ(upload.maxTime, std::chrono::milliseconds(1500));
  EXPECT_EQ(upload.fields, (std::vector<std::pair<std::string, std::string>>{{"t", "v"}}));
  EXPECT_EQ(upload.output, "r.bin");
  EXPECT_TRUE(upload.verbose);
  EXPECT_EQ(upload.files, Arguments{"a.txt"});

  const Options download = ParseOptions({"download", "/a.txt", "/b:c.txt", "/d.txt:12"});
  ASSERT_EQ(download.downloads.size(), 3u);
  EXPECT_FALSE(download.downloads[0].sizeGiven);
  EXPECT_EQ(download.downloads[1].name, "/b:c.txt") << "no digits after the colon: no SIZE";
  EXPECT_EQ(download.downloads[2].size, 12);
  EXPECT_EQ(ParseOptions({"-V"}).command, Command::kVersion);

  const Options secure = ParseOptions({"download", "--cacert=ca.pem", "-k", "/a.txt"});
  EXPECT_EQ(secure.caCertificates, "ca.pem");
  EXPECT_TRUE(secure.insecure);
  EXPECT_FALSE(ParseOptions({"download", "/a.txt"}).insecure);
}

TEST(OptionsTest, CallEncodeAndDecodeTakeTheRestAsItIs) {
  const Options call =
      ParseOptions({"call", "RegiSaveString", "-2147483646", "--quiet", "Name", "값"});
  EXPECT_EQ(call.member, "RegiSaveString");
  EXPECT_EQ(call.arguments, (Arguments{"-2147483646", "--quiet", "Name", "값"}));
  EXPECT_FALSE(call.quiet);
  EXPECT_EQ(ParseOptions({"encode", "--x y"}).text, "--x y");
  EXPECT_EQ(ParseOptions({"decode", "%B0%A1"}).command, Command::kDecode);
}

TEST(OptionsTest, HelpAndVersion) {
  EXPECT_EQ(ParseOptions({"--help"}).command, Command::kHelp);
  EXPECT_FALSE(ParseOptions({"-h"}).helpFor.has_value());
  EXPECT_EQ(ParseOptions({"upload", "--help"}).helpFor, Command::kUpload);
  EXPECT_EQ(ParseOptions({"help", "download"}).helpFor, Command::kDownload);
  EXPECT_EQ(ParseOptions({"--version"}).command, Command::kVersion);
}

TEST(OptionsTest, MalformedCommandLinesAreUsageErrors) {
  for (const Arguments& arguments : std::vector<Arguments>{
           {},
           {"--page"},
           {"--param", "NoEquals", "call", "X"},
           {"--param", "=value", "call", "X"},
           {"--frobnicate", "call", "X"},
           {"transfer"},
           {"upload", "--field"},
           {"upload", "--uploaded", "name", "a.txt"},
           {"upload", "--uploaded", ":5", "a.txt"},
           {"upload", "--verbos", "a.txt"},
           {"upload", "-o"},
           {"--quiet=1", "call", "X"},
           {"--cacert", "", "call", "X"},
           {"--insecure=yes", "call", "X"},
           {"--max-time", "0", "call", "X"},
           {"--speed-time", "soon", "call", "X"},
           {"download", "--overwrite=yes", "/a"},
           {"download"},
           {"download", "a.txt:2147483648"},
           {"download", "--untick", "0", "a:1"},
           {"download", "--untick", "one", "a:1"},
           {"encode"},
           {"decode", "a", "b"},
           {"call"},
           {"help", "everything"},
       }) {
    EXPECT_THROW(ParseOptions(arguments), UsageError) << ::testing::PrintToString(arguments);
  }
}

using Params = std::vector<std::pair<std::string, std::string>>;

TEST(OptionsTest, AUrlSetsTheServerAsThePageWould) {
  const struct {
    Arguments arguments;
    Params params;
    Arguments names;  // the download's NAMEs after the URL
  } cases[] = {
      {{"upload", "--url", "https://Files.example:8443/board/up.php?x=1#top", "a.txt"},
       {{"HostName", "https://Files.example"},
        {"ServerPort", "8443"},
        {"ActionURL", "/board/up.php?x=1"}},
       {}},
      {{"--url=HTTP://h", "upload", "a.txt"},
       {{"HostName", "h"}, {"ServerPort", "80"}, {"ActionURL", "/"}},
       {}},
      {{"download", "--url", "https://h/files/", "a.txt", "/b.txt", "https://h:443/c%20d.txt"},
       {{"HostName", "https://h"}, {"ServerPort", "443"}},
       {"/files/a.txt", "/b.txt", "/c%20d.txt"}},
  };
  for (const auto& c : cases) {
    const Options options = ParseOptions(c.arguments);
    EXPECT_EQ(options.params, c.params) << ::testing::PrintToString(c.arguments);
    Arguments names;
    for (const NamedSize& file : options.downloads) names.push_back(file.name);
    EXPECT_EQ(names, c.names);
  }
  for (const Arguments& arguments : std::vector<Arguments>{
           {"upload", "--url", "ftp://h/x", "a.txt"},
           {"upload", "--url", "http://user@h/x", "a.txt"},
           {"upload", "--url", "http://h:32768/x", "a.txt"},
           {"upload", "--url", "http://:80/x", "a.txt"},
           {"upload", "--url", "http://h/a b", "a.txt"},
           {"upload", "https://h/x"},
           {"download", "http://h/a.txt"},
           {"download", "--url", "http://h/", "http://other/a.txt"},
           {"download", "-o", "x.txt"},
           {"--url", "http://h/", "call", "HostName"},
       }) {
    EXPECT_THROW(ParseOptions(arguments), UsageError) << ::testing::PrintToString(arguments);
  }
}

TEST(MapPropertyBagTest, NamesIgnoreCaseAndLaterValuesWin) {
  MapPropertyBag bag({{"hostname", "a.example"}, {"MaxFileCount", "3"}, {"HOSTNAME", "b.example"}});
  bag.Set("maxfilecount", "4");
  EXPECT_EQ(bag.Read("HostName", Variant("none")), Variant("b.example"));
  EXPECT_EQ(bag.Read("MAXFILECOUNT", Variant("0")), Variant("4"));
  EXPECT_EQ(bag.Read("ActionURL", Variant("/default")), Variant("/default"));
  EXPECT_EQ(bag.Size(), 2u);

  bag.Write("BufferSize", Variant(std::int32_t{8192}), Variant(std::int32_t{8192}));
  EXPECT_EQ(bag.Size(), 2u) << "a default value is not stored";
  bag.Write("buffersize", Variant(std::int32_t{4096}), Variant(std::int32_t{8192}));
  EXPECT_EQ(bag.Read("BufferSize", Variant()), Variant(std::int32_t{4096}));
}

TEST(DialogSelectionTest, OneFileIsItsPathAndSeveralShareTheirDeepestFolder) {
  using std::string_literals::operator""s;
  EXPECT_EQ(DialogSelection({"/home/kim/a.txt"}), "/home/kim/a.txt");
  EXPECT_EQ(DialogSelection({"/home/kim/a.txt", "/home/kim/b.txt"}), "/home/kim\0a.txt\0b.txt"s);
  EXPECT_EQ(DialogSelection({"/home/kim/docs/a.txt", "/home/kim/보고서.txt", "/home/kim/docs/x/c"}),
            "/home/kim\0docs/a.txt\0보고서.txt\0docs/x/c"s);
  EXPECT_EQ(DialogSelection({"/a/x.txt", "/b/y.txt"}), "/\0a/x.txt\0b/y.txt"s);
}

TEST(DialogSelectionTest, UploadPathsAreAbsolutePlainReadableFiles) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("veldrask-host-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder / "sub");
  std::ofstream(folder / "a.txt") << "a";
  std::ofstream(folder / "locked.txt") << "b";
  std::filesystem::permissions(folder / "locked.txt", std::filesystem::perms::none);

  EXPECT_EQ(UploadPath("sub/../a.txt", folder), (folder / "a.txt").string());
  EXPECT_EQ(UploadPath((folder / "a.txt").string(), "/elsewhere"), (folder / "a.txt").string());
  EXPECT_THROW(UploadPath("missing.txt", folder), UsageError);
  EXPECT_THROW(UploadPath("sub", folder), UsageError);
  EXPECT_THROW(UploadPath("", folder), UsageError);
  if (::geteuid() != 0) {  // root reads anything
    EXPECT_THROW(UploadPath("locked.txt", folder), UsageError);
  }
  std::filesystem::remove_all(folder);
}

TEST(MemberCallTest, AssignmentReadAndMethodForms) {
  const MemberCall let = ParseMemberCall("MaxFileCount=5=6", {});
  EXPECT_EQ(let.name, "MaxFileCount");
  EXPECT_EQ(let.kind, MemberKind::kLet);
  EXPECT_EQ(let.arguments, std::vector<Variant>{Variant("5=6")});
  EXPECT_EQ(ParseMemberCall("EngTitleVer", {}).kind, MemberKind::kGet);
  const MemberCall method = ParseMemberCall("AddPostData", {"a", "b=c"});
  EXPECT_EQ(method.kind, MemberKind::kMethod);
  EXPECT_EQ(method.arguments.size(), 2u);
  EXPECT_THROW(ParseMemberCall("A=1", {"2"}), UsageError);
  EXPECT_THROW(ParseMemberCall("=1", {}), UsageError);
}

TEST(MemberCallTest, ResultsPrintOneValueOrOneFileALine) {
  EXPECT_EQ(FormatResult(Variant()), "");
  EXPECT_EQ(FormatResult(Variant(std::int16_t{-1})), "-1\n");
  EXPECT_EQ(FormatResult(Variant("가")), "가\n");
  const Variant files(Variant::FileArray{
      {},
      {"C:\\a\tb.txt", "a\tb.txt", 12, "Content-Disposition: x\r\n\r\n"},
  });
  EXPECT_EQ(FormatResult(files),
            "\t\t0\t\nC:\\\\a\\tb.txt\ta\\tb.txt\t12\tContent-Disposition: x\\r\\n\\r\\n\n");
}

}  // namespace
}  // namespace veldrask::host
