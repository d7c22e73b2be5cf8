#include "upload/upload_window.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fake_upload_owner.h"
#include "fixed_locale.h"
#include "headless/headless_ui.h"
#include "manual_clock.h"
#include "memory_file_system.h"
#include "scripted_network.h"
#include "task_loop.h"
#include "test_platform.h"
#include "upload/upload_request.h"

namespace veldrask {
namespace {

using testing::Data;
using testing::DataInPieces;
using testing::PeerClose;
using testing::ServerStep;
using Steps = std::vector<ServerStep>;

constexpr std::string_view kBoundary = "Q7x2Lm9PzA4kT0rWb8Nc1YeV5sHu3JdG";

class UploadWindowTest : public ::testing::Test {
 protected:
  void Compose(const std::vector<std::string>& keys) {
    const UploadSettings settings{.actionUrl = "/up.php",
                                  .hostName = "example.test",
                                  .cookie = "",
                                  .boundary = std::string(kBoundary),
                                  .filePrefix = "file",
                                  .paddingZero = "0"};
    ComposeUploadRequest(settings, std::vector<PostData>{{"title", "제목"}}, keys, files, cp949,
                         owner.request);
  }

  // Runs the window to its end against a server that answers the whole request with steps or,
  // given answerAfterBytes, stops reading there and answers what it has.
  void Run(Steps answer, std::optional<std::size_t> answerAfterBytes = {}) {
    network = std::make_unique<testing::ScriptedNetwork>(loop, clock);
    network->answerAfterBytes = answerAfterBytes;
    network->SetServer([answer](const std::string&) { return answer; });
    Platform platform{loop,  *network, files,  base.registry, base.shell,
                      clock, cp949,    locale, base.random,   ui};
    UploadWindow window(platform, owner, nullptr, nullptr, nullptr, cp949, cp949);
    ui.Recorder().OnFormShown([this](headless::HeadlessForm& form) { shown = &form; });
    window.ShowModal();
    ASSERT_NE(shown, nullptr);
    EXPECT_FALSE(shown->IsOpen());
    caption = shown->Caption();
    auto& list = shown->Get<headless::HeadlessListView>("UploadFileList");
    statuses.clear();
    for (std::int32_t row = 1; row <= list.RowCount(); ++row) {
      statuses.push_back(list.SubItem(row, 2));
    }
    sendProcess = shown->Get("lblSendProcess").Caption();
    fileName = shown->Get("lblFileName").Caption();
  }

  // The bytes a complete upload of the composed request puts on the wire.
  std::string ExpectedWire() const {
    std::string wire = cp949.Encode(owner.request.httpHeader + owner.request.formData);
    const auto& entries = owner.request.attachedFiles;
    for (std::size_t k = 1; k < entries.size(); ++k) {
      wire += cp949.Encode(entries[k].header) + contents.at(entries[k].key);
      wire += PartTail(kBoundary, k + 1 == entries.size());
    }
    return wire;
  }

  void PutFile(const std::string& path, std::string data) {
    contents[path] = data;
    files.Put(path, std::move(data));
  }

  testing::TaskLoop loop;
  headless::HeadlessUi ui{loop};
  testing::MemoryFileSystem files;
  testing::ManualClock clock;
  testing::FixedLocale locale;
  testing::TestPlatform base;
  CodePage& cp949 = base.ansi;
  testing::FakeUploadOwner owner;
  std::unique_ptr<testing::ScriptedNetwork> network;
  std::map<std::string, std::string> contents;

  headless::HeadlessForm* shown = nullptr;
  std::string caption;
  std::vector<std::string> statuses;
  std::string sendProcess;
  std::string fileName;
};

constexpr std::string_view kOkReply = "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\ndone";

TEST_F(UploadWindowTest, SendsTheComposedRequestInStopAndWaitBlocks) {
  PutFile("C:\\in\\보고서.txt", std::string(20000, 'r'));
  PutFile("C:\\in\\empty", "");
  PutFile("C:\\in\\exact.bin", std::string(16384, 'x'));
  files.SetReadLimit(1000);  // short reads still fill whole blocks
  Compose({"C:\\in\\보고서.txt", "C:\\in\\empty", "C:\\in\\exact.bin"});
  clock.SetStep(50);

  Run({Data(std::string(kOkReply))});

  EXPECT_EQ(network->received, ExpectedWire());
  const std::size_t headAndFields =
      cp949.Encode(owner.request.httpHeader + owner.request.formData).size();
  const std::vector<std::size_t> writes = {
      headAndFields,
      cp949.Encode(owner.request.attachedFiles[1].header).size(),
      8192,
      8192,
      3616,
      38,
      owner.request.attachedFiles[2].header.size(),
      38,
      owner.request.attachedFiles[3].header.size(),
      8192,
      8192,
      38};
  EXPECT_EQ(network->writes, writes);
  EXPECT_EQ(network->hosts, std::vector<std::string>{"example.test"});
  EXPECT_EQ(network->ports, std::vector<std::int32_t>{8080});
  EXPECT_EQ(owner.responses, std::vector<std::string>{"done"});
  EXPECT_EQ(owner.statuses, std::vector<std::string>{"200 OK"});
  EXPECT_EQ(statuses, (std::vector<std::string>{"완료", "완료", "완료"}));
  EXPECT_EQ(caption, "업로드 진행상황 [엔진 Ver 1.8]");
  EXPECT_EQ(fileName, "exact.bin");
  EXPECT_EQ(sendProcess, "16,384 / 16,384 Bytes (100 %)");
  EXPECT_TRUE(ui.Messages().empty());
  EXPECT_EQ(files.OpenFiles(), 0u);
}

TEST_F(UploadWindowTest, NoFileSendsHeadAndClosingDelimiterAndKeepsDesignTexts) {
  Compose({});
  Run({Data("HTTP/1.1 200 OK\r\n\r\nbody until close"), PeerClose()});
  EXPECT_EQ(network->received, ExpectedWire());
  EXPECT_EQ(network->writes.size(), 1u);
  EXPECT_TRUE(statuses.empty());
  EXPECT_EQ(fileName, "파일명");
  EXPECT_EQ(owner.responses, std::vector<std::string>{"body until close"});
}

TEST_F(UploadWindowTest, AServerStillSendingIsCutOffBeforeTheReplyIsReported) {
  PutFile("C:\\a.txt", "abc");
  Compose({"C:\\a.txt"});
  // Interim heads past the limit, and the server goes on: the message about them must not
  // be shown over a connection still bringing data (a modal box would never get its turn).
  std::string interim;
  for (int head = 0; head < 40; ++head) interim += "HTTP/1.1 100 Continue\r\n\r\n";
  int closesAtMessage = -1;
  ui.SetMessageObserver([&](const auto&) { closesAtMessage = network->closes; });
  Run(DataInPieces(interim, 25));
  ASSERT_EQ(ui.Messages().size(), 1u);
  EXPECT_EQ(ui.Messages()[0].text, "서버가 최종 응답 없이 중간 응답(1xx)만 계속 보냈습니다.");
  EXPECT_EQ(closesAtMessage, 1);
}

}  // namespace
}  // namespace veldrask
