// The download window's session against a scripted server, writing real files.

#include <gtest/gtest.h>

#include "base/text.h"
#include "window_fixture.h"

namespace veldrask::testing {
namespace {

using Names = std::vector<std::string>;
using Steps = std::vector<ServerStep>;

// The server's answer for each request target.
ScriptedNetwork::Server ByTarget(std::map<std::string, Steps> answers) {
  return [answers = std::move(answers)](const std::string& request) {
    const std::string target = Split(Split(request, "\r\n")[0], " ")[1];
    return answers.at(target);
  };
}

TEST_F(DownloadWindowTest, HeadAndWholeBodyInOneArrivalFinishTheFileWithoutAClose) {
  owner.Add("/files/a.txt", "a.txt", 5);
  owner.Add("/files/b.txt", "b.txt", 3);
  // The first answer never closes, as a keep-alive server does: its length ends it.
  network.SetServer(ByTarget({
      {"/files/a.txt", {Data("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello")}},
      {"/files/b.txt", Serve("bye")},
  }));

  const headless::HeadlessForm& form = Run();

  EXPECT_FALSE(form.IsOpen());
  EXPECT_EQ(FolderNames(), (Names{"a.txt", "b.txt"}));
  EXPECT_EQ(Content("a.txt"), "hello");
  EXPECT_EQ(Content("b.txt"), "bye");
  EXPECT_EQ(Status(1), "완료");
  EXPECT_EQ(Status(2), "완료");
  EXPECT_EQ(network.connections, 2);
  // The client closed both connections itself.
  EXPECT_EQ(network.closes, 2);
  EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(DownloadWindowTest, SendsTheFiveLineRequestWithTheTargetAsThePageGaveIt) {
  owner.host = "files.example";
  owner.port = 8081;
  owner.Add("/data/%B0%A1.txt", "가.txt", 1);
  owner.Add("/자료/가.txt", "가.txt", 1);
  network.SetServer([](const std::string&) { return Serve("x"); });

  Run();

  ASSERT_EQ(network.requests.size(), 2U);
  EXPECT_EQ(network.requests[0],
            "GET /data/%B0%A1.txt HTTP/1.1\r\nHost: files.example\r\nConnect: close\r\n"
            "Accept: */*\r\n\r\n");
  // Text the page did not encode goes out in the ANSI code page.
  EXPECT_EQ(network.requests[1],
            "GET /\xC0\xDA\xB7\xE1/\xB0\xA1.txt HTTP/1.1\r\nHost: files.example\r\n"
            "Connect: close\r\nAccept: */*\r\n\r\n");
  EXPECT_EQ(network.hosts, (Names{"files.example", "files.example"}));
  EXPECT_EQ(network.ports, (std::vector<std::int32_t>{8081, 8081}));
  // The second entry found the first one's name taken.
  EXPECT_EQ(FolderNames(), (Names{"가.txt", "가[1].txt"}));
}

// The scheme only chooses the socket: the same request goes inside TLS, to the bare host.
TEST_F(DownloadWindowTest, AnHttpsHostNameAsksForTlsSocketsAndSendsTheSameRequest) {
  const struct {
    std::string hostName;
    int tlsSockets;
    std::string host;
  } cases[] = {
      {"files.example", 0, "files.example"},
      {"HTTPS://files.example", 1, "files.example"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.hostName);
    network.requests.clear();
    network.hosts.clear();
    network.tlsSockets = 0;
    owner.host = c.hostName;
    owner.files = {AttachedFile{}};
    owner.Add("/a.txt", "a.txt", 1);
    network.SetServer([](const std::string&) { return Serve("x"); });

    Run();

    EXPECT_EQ(network.tlsSockets, c.tlsSockets);
    EXPECT_EQ(network.hosts, Names{c.host});
    ASSERT_EQ(network.requests.size(), 1U);
    EXPECT_EQ(network.requests[0], "GET /a.txt HTTP/1.1\r\nHost: " + c.host +
                                       "\r\nConnect: close\r\nAccept: */*\r\n\r\n");
  }
}

TEST_F(DownloadWindowTest, ControlCharactersInTheTargetCannotBreakTheRequest) {
  owner.Add("/a b\r\nX-Evil: 1\t.txt", "a.txt", 1);
  network.SetServer([](const std::string&) { return Serve("x"); });

  Run();

  ASSERT_EQ(network.requests.size(), 1U);
  EXPECT_EQ(Split(network.requests[0], "\r\n")[0], "GET /a%20b%0D%0AX-Evil:%201%09.txt HTTP/1.1");
}

TEST_F(DownloadWindowTest, AHostNameWithALineBreakIsRefusedBeforeAnyConnection) {
  owner.host = "files.example\r\nX-Evil: 1";
  owner.Add("/a.txt", "a.txt", 1);

  Run();

  EXPECT_EQ(network.connections, 0);
  ASSERT_EQ(ui.Messages().size(), 1U);
  EXPECT_TRUE(Contains(ui.Messages()[0].text, "HostName"));
  EXPECT_EQ(Status(1), "대기");
}

struct HeadCase {
  const char* label;
  std::string head;
};

class ResponseHeads : public DownloadWindowTest, public ::testing::WithParamInterface<HeadCase> {};

TEST_P(ResponseHeads, AreReadForStatusAndLength) {
  owner.Add("/f.bin", "f.bin", 4);
  // Bytes after the announced length belong to no file; the server never closes.
  network.SetServer([](const std::string&) { return Steps{Data(GetParam().head + "abcdEXTRA")}; });

  Run();

  EXPECT_EQ(FolderNames(), (Names{"f.bin"}));
  EXPECT_EQ(Content("f.bin"), "abcd");
  EXPECT_EQ(Status(1), "완료");
  EXPECT_TRUE(ui.Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    DownloadWindowTest, ResponseHeads,
    ::testing::Values(
        HeadCase{"LengthLast", "HTTP/1.1 200 OK\r\nServer: t\r\nContent-Length: 4\r\n\r\n"},
        HeadCase{"MixedCase", "HTTP/1.1 200 OK\r\ncontent-LENGTH: 4\r\nServer: t\r\n\r\n"},
        HeadCase{"NoReasonPhrase", "HTTP/1.1 200\r\nContent-Length: 4\r\n\r\n"},
        // Only a field named Content-Length counts, not one that holds the words.
        HeadCase{"LookalikeField",
                 "HTTP/1.1 200 OK\r\nX-Original-Content-Length: 99\r\nContent-Length: 4\r\n\r\n"},
        HeadCase{"InterimFirst",
                 "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\n"
                 "Content-Length: 4\r\n\r\n"}),
    [](const ::testing::TestParamInfo<HeadCase>& param) { return param.param.label; });

TEST_F(DownloadWindowTest, BodiesFramedOtherwiseAreWrittenWhole) {
  owner.Add("/chunked.txt", "chunked.txt", 11);
  owner.Add("/close.txt", "close.txt", 5);
  owner.Add("/empty.txt", "empty.txt", 0);
  owner.Add("/split.txt", "split.txt", 3);
  network.SetServer(ByTarget({
      {"/chunked.txt",
       {Data("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n"),
        Data("6;ext=1\r\n world\r\n0\r\nTrailer: x\r\n\r\n")}},
      {"/close.txt", {Data("HTTP/1.1 200 OK\r\n\r\nuntil"), PeerClose()}},
      // Nothing arrives after the head, and nothing needs to.
      {"/empty.txt", {Data("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n")}},
      {"/split.txt",
       {Data("HTTP/1.1 200 OK\r\nContent-Le"), Data("ngth: 3\r\n\r"), Data("\nabc"), PeerClose()}},
  }));

  Run();

  EXPECT_EQ(FolderNames(), (Names{"chunked.txt", "close.txt", "empty.txt", "split.txt"}));
  EXPECT_EQ(Content("chunked.txt"), "hello world");
  EXPECT_EQ(Content("close.txt"), "until");
  EXPECT_EQ(Content("empty.txt"), "");
  EXPECT_EQ(Content("split.txt"), "abc");
  for (std::int32_t row = 1; row <= 4; ++row) EXPECT_EQ(Status(row), "완료") << row;
}

TEST_F(DownloadWindowTest, AStatusOtherThan200EndsTheSessionAndKeepsEarlierFiles) {
  owner.Add("/a.txt", "a.txt", 1);
  owner.Add("/missing.txt", "missing.txt", 1);
  owner.Add("/c.txt", "c.txt", 1);
  network.SetServer(ByTarget({
      {"/a.txt", Serve("A")},
      {"/missing.txt",
       {Data("HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found"), PeerClose()}},
      {"/c.txt", Serve("C")},
  }));

  const headless::HeadlessForm& form = Run();

  EXPECT_FALSE(form.IsOpen());
  EXPECT_EQ(FolderNames(), (Names{"a.txt"}));
  ASSERT_EQ(ui.Messages().size(), 1U);
  EXPECT_EQ(ui.Messages()[0].text,
            "서버에 파일이 존재하지 않거나 에러가 발생했습니다.\r\n\r\n에러코드 : 404");
  EXPECT_EQ(network.connections, 2);
  EXPECT_EQ(Status(1), "완료");
  EXPECT_EQ(Status(3), "대기");
}

TEST_F(DownloadWindowTest, TakenNamesAreNumberedBeforeTheFirstDot) {
  Put("a.txt", "old a");
  Put("a[1].txt", "old a1");
  Put("README", "old readme");
  Put("report.tar.gz", "old report");
  owner.Add("/a.txt", "a.txt", 1);
  owner.Add("/README", "README", 1);
  owner.Add("/report.tar.gz", "report.tar.gz", 1);
  network.SetServer([](const std::string& request) { return Serve(Split(request, " ")[1]); });

  Run();

  // Windows stores a name without its trailing dot.
  const std::string readme1 = base.files.Separator() == "\\" ? "README[1]" : "README[1].";
  EXPECT_EQ(FolderNames(), (Names{"README", readme1, "a.txt", "a[1].txt", "a[2].txt",
                                  "report.tar.gz", "report[1].tar.gz"}));
  EXPECT_EQ(Content("a.txt"), "old a");
  EXPECT_EQ(Content("a[2].txt"), "/a.txt");
  EXPECT_EQ(Content("README[1]."), "/README");
  EXPECT_EQ(Content("report[1].tar.gz"), "/report.tar.gz");
  EXPECT_EQ(Rows().RowText(1), "a[2].txt");
  EXPECT_EQ(Rows().RowText(2), "README[1].");
}

TEST_F(DownloadWindowTest, OverwritingReplacesTheFileButNotAnEarlierEntryOfTheSession) {
  Put("a.txt", "old a");
  owner.overwrite = true;
  owner.Add("/one/a.txt", "a.txt", 1);
  owner.Add("/two/a.txt", "a.txt", 1);
  network.SetServer([](const std::string& request) { return Serve(Split(request, " ")[1]); });

  Run();

  EXPECT_EQ(FolderNames(), (Names{"a.txt", "a[1].txt"}));
  EXPECT_EQ(Content("a.txt"), "/one/a.txt");
  EXPECT_EQ(Content("a[1].txt"), "/two/a.txt");
}

TEST_F(DownloadWindowTest, TwoEntriesWithOneNameKeepBothFiles) {
  owner.Add("/one/a.txt", "a.txt", 1);
  owner.Add("/two/a.txt", "a.txt", 1);
  network.SetServer([](const std::string& request) { return Serve(Split(request, " ")[1]); });

  Run();

  EXPECT_EQ(FolderNames(), (Names{"a.txt", "a[1].txt"}));
  EXPECT_EQ(Content("a.txt"), "/one/a.txt");
  EXPECT_EQ(Content("a[1].txt"), "/two/a.txt");
}

TEST_F(DownloadWindowTest, ServerPathsCannotLeaveTheFolder) {
  owner.Add("/x/..%5C..%5Cevil.txt", "..\\..\\evil.txt", 1);
  owner.Add("/x/%2E%2E", "..", 1);
  owner.Add("/x/a%3Ab%01.txt", "a:b\x01.txt", 1);
  network.SetServer([](const std::string&) { return Serve("x"); });

  Run();

  EXPECT_EQ(FolderNames(), (Names{".._.._evil.txt", "a_b_.txt", "download"}));
  EXPECT_FALSE(std::filesystem::exists(base.Scratch() / "evil.txt"));
}

TEST_F(DownloadWindowTest, CreatesTheFolderOneLevelDeep) {
  owner.Add("/a.txt", "a.txt", 1);
  network.SetServer([](const std::string&) { return Serve("A"); });
  ASSERT_FALSE(std::filesystem::exists(Folder()));

  Run();

  EXPECT_EQ(Content("a.txt"), "A");
}

TEST_F(DownloadWindowTest, AMissingParentFolderEndsTheSessionWithTheErrorShown) {
  owner.folder = base.Scratch() / "no/such/folder";
  owner.Add("/a.txt", "a.txt", 1);

  Run();

  EXPECT_EQ(network.connections, 0);
  ASSERT_EQ(ui.Messages().size(), 1U);
  EXPECT_EQ(ui.Messages()[0].icon, MessageIcon::kCritical);
  EXPECT_TRUE(ui.Messages()[0].text.starts_with("[76] "));
}

}  // namespace
}  // namespace veldrask::testing
