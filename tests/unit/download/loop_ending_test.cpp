// The loop's ending (the application or the browser shutting down) while a transfer window
// waits ends the session as the user's close does, in both windows.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "download/download_window.h"
#include "fake_owner.h"
#include "fake_upload_owner.h"
#include "scripted_network.h"
#include "test_platform.h"
#include "upload/upload_request.h"
#include "upload/upload_window.h"

namespace veldrask::testing {
namespace {

enum class Interruption { kUserCloses, kLoopEnds };

// What a session leaves behind.
struct Outcome {
  bool formOpen = true;
  std::vector<std::string> statuses;
  std::vector<headless::MessageRecord> messages;
  // The replies the upload stored, or the names in the download folder.
  std::vector<std::string> kept;

  bool operator==(const Outcome&) const = default;
};

// A step of the server's script that interrupts the session.
ServerStep Interrupt(TestPlatform& test, Interruption how, std::string formName) {
  return Call([&test, how, formName] {
    if (how == Interruption::kLoopEnds) {
      test.loop.Quit();
    } else {
      test.ui.PostUserClose(formName);
    }
  });
}

Outcome Collect(const TestPlatform& test, std::string_view formName, std::string_view listName,
                std::vector<std::string> kept) {
  const headless::HeadlessForm& form = *test.ui.FindForm(formName);
  const auto& list = form.Get<headless::HeadlessListView>(listName);
  Outcome outcome{form.IsOpen(), {}, test.ui.Messages(), std::move(kept)};
  for (std::int32_t row = 1; row <= list.RowCount(); ++row) {
    outcome.statuses.push_back(list.SubItem(row, 2));
  }
  return outcome;
}

// The whole request goes out; the session is interrupted while the reply is half there.
Outcome UploadInterrupted(Interruption how) {
  TestPlatform test;
  FakeUploadOwner owner;
  owner.boundary = "b0undary";
  owner.port = 80;
  owner.mainTitle = "업로드";
  const std::vector<std::string> keys{test.Scratch().WriteFile("a.bin", 100)};
  ComposeUploadRequest({"/up", "example.test", "", "b0undary", "file", "0"}, {}, keys, test.files,
                       test.ansi, owner.request);
  test.network.SetServer([&](const std::string&) {
    return std::vector<ServerStep>{Data("HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\npart"),
                                   Interrupt(test, how, "frmProcess")};
  });
  UploadWindow window(test.Get(), owner, nullptr, nullptr, nullptr, test.ansi, test.ansi);
  window.ShowModal();
  return Collect(test, "frmProcess", "UploadFileList", owner.responses);
}

// The session is interrupted in the middle of the first of two files.
Outcome DownloadInterrupted(Interruption how) {
  TestPlatform test;
  FakeOwner owner;
  owner.folder = test.Scratch() / "down";
  owner.Add("/files/a.txt", "a.txt", 10);
  owner.Add("/files/b.txt", "b.txt", 3);
  test.network.SetServer([&](const std::string&) {
    return std::vector<ServerStep>{Data("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhalf"),
                                   Interrupt(test, how, "frmDNProcess")};
  });
  DownloadWindow window(test.Get(), owner, nullptr, nullptr, nullptr);
  window.ShowModal();
  return Collect(test, "frmDNProcess", "DownloadFileList", SortedNamesIn(owner.folder));
}

TEST(TransferWindows, TheLoopEndingClosesTheWindowAsTheUserDoes) {
  struct Case {
    std::string_view window;
    std::function<Outcome(Interruption)> run;
    std::vector<std::string> statuses;
  };
  const Case cases[] = {
      {"upload", UploadInterrupted, {"완료"}},
      {"download", DownloadInterrupted, {"다운중", "대기"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.window);
    const Outcome ended = c.run(Interruption::kLoopEnds);
    EXPECT_FALSE(ended.formOpen);
    EXPECT_EQ(ended.statuses, c.statuses);
    EXPECT_EQ(ended, c.run(Interruption::kUserCloses));
  }
}

}  // namespace
}  // namespace veldrask::testing
