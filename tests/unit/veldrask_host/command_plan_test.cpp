// What the upload and download commands decide and say alike on both hosts.
#include "command_plan.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace veldrask::host {
namespace {

TEST(CommandPlanTest, NonAsciiNamesOrValuesInTheDefaultCharsetEarnTheHintWhenTheAnswerIsUtf8) {
  const std::string json = "Content-Type: application/json";
  struct Case {
    const char* what;
    std::string charset;
    std::vector<std::pair<std::string, std::string>> fields;
    std::vector<std::string> paths;
    std::string answerType;  // empty: no answer
    bool hinted;
  } cases[] = {
      {"ASCII only", "", {{"a", "b"}}, {"/in/a.txt"}, json, false},
      {"a Korean file name", "", {}, {"/in/보고서.txt"}, json, true},
      {"a Korean value",
       " ",
       {{"title", "주간"}},
       {"/in/a.txt"},
       "Content-Type: text/html; charset=utf-8",
       true},
      {"a Korean folder only", "", {}, {"/자료/a.txt"}, json, false},
      {"UTF-8 asked for", "UTF-8", {{"title", "주간"}}, {"/in/보고서.txt"}, json, false},
      {"an EUC-KR answer",
       "",
       {},
       {"/in/보고서.txt"},
       "Content-Type: text/html; charset=euc-kr",
       false},
      {"no charset said", "", {}, {"/in/보고서.txt"}, "Content-Type: text/html", false},
      {"no answer", "", {}, {"/in/보고서.txt"}, "", false},
  };
  for (const Case& c : cases) {
    Options options;
    options.fields = c.fields;
    std::optional<ResponseHead> answer;
    if (!c.answerType.empty()) {
      answer = ParseResponseHead("HTTP/1.1 200 OK\r\n" + c.answerType + "\r\n\r\n").head;
    }
    EXPECT_EQ(CharsetHint(c.charset, options, c.paths, answer).has_value(), c.hinted) << c.what;
  }
}

TEST(CommandPlanTest, OnlyA2xxStatusLineIsNoComplaint) {
  struct Case {
    const char* status;
    const char* said;  // empty: no complaint
    int exitStatus;
  } cases[] = {
      {"200 OK", "", kExitOk},
      {"204", "", kExitOk},
      {"20", "서버 응답: 20\n", kExitServerStatus},
      {"413 Payload Too Large", "서버 응답: 413 Payload Too Large\n", kExitServerStatus},
      {"", "veldrask: upload: the server sent no HTTP reply\n", kExitEmptyReply},
  };
  for (const Case& c : cases) {
    std::ostringstream said;
    Console console(said, false, [] { return std::size_t{80}; });
    ExchangeFollower exchange(console, false, nullptr);
    const bool taken = JudgeReplyStatus(c.status, "https://files.example", console, exchange);
    EXPECT_EQ(said.str(), c.said) << c.status;
    EXPECT_EQ(taken ? kExitOk : exchange.FailureStatus(), c.exitStatus) << c.status;
  }
}

TEST(CommandPlanTest, SocketErrorMessagesGetTheirCauseInEnglishOnTheFirstLine) {
  const struct {
    const char* message;
    const char* shown;
  } cases[] = {
      {"10061:연결을 거부했습니다.", "10061:연결을 거부했습니다. (connection refused)"},
      {"12045:인증서\r\n\r\n자세히",
       "12045:인증서 (the server's certificate has an unknown issuer)\r\n\r\n자세히"},
      {"99999:모르는 오류", "99999:모르는 오류"},
      {"서버 응답: 10061", "서버 응답: 10061"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(WithEnglishReason(c.message), c.shown);
}

TEST(CommandPlanTest, FilesAndDownloadsNamedAgainAreSaidOnce) {
  Options options;
  options.files = {"a.txt", "b.txt", "./a.txt", "a.txt"};
  std::ostringstream said;
  Console console(said, false, [] { return std::size_t{80}; });
  const auto absolute = [](const std::string& file) {
    return "/in/" + (file.starts_with("./") ? file.substr(2) : file);
  };
  EXPECT_EQ(ChosenPaths(options, std::nullopt, console, absolute),
            (std::vector<std::string>{"/in/a.txt", "/in/b.txt"}));
  EXPECT_EQ(said.str(), "veldrask: upload: named more than once, chosen once: ./a.txt, a.txt\n");
  EXPECT_THROW(ChosenPaths(options, 8, console, absolute), UsageError)
      << "a path longer than the dialog holds";

  options.downloads = {{"/x.txt", 1}, {"/y.txt", 2}, {"/x.txt", 1}};
  EXPECT_EQ(
      RepeatedDownloads(options),
      (std::vector<std::string>{"veldrask: download: /x.txt: named more than once, fetched once"}));
}

}  // namespace
}  // namespace veldrask::host
