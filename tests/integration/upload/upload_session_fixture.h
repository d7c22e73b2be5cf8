#pragma once

// Runs the upload window on the POSIX platform against real servers on 127.0.0.1.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "fake_upload_owner.h"
#include "headless/headless_ui.h"
#include "posix/posix_platform.h"
#include "support/temp_dir.h"
#include "support/test_deadline.h"
#include "upload/upload_request.h"

namespace veldrask::upload_test {

inline constexpr std::string_view kBoundary = "Q7x2Lm9PzA4kT0rWb8Nc1YeV5sHu3JdG";
inline constexpr std::string_view kMainTitle = "업로드 [초록모래 파일트랜스퍼 Ver 1.8]";

// The control as the window reads it, talking to a server on 127.0.0.1.
inline testing::FakeUploadOwner SessionOwner() {
  testing::FakeUploadOwner owner;
  owner.engineTitle = "초록모래 파일트랜스퍼 Ver 1.8";
  owner.mainTitle = std::string(kMainTitle);
  owner.boundary = std::string(kBoundary);
  owner.host = "127.0.0.1";
  return owner;
}

// What the user saw when the window had closed.
struct SessionOutcome {
  std::vector<std::string> statuses;
  std::vector<headless::MessageRecord> messages;
};

// Writes size bytes in which every 8-byte word is derived from its own offset, so a shifted,
// repeated or dropped range never matches; quick enough for files of hundreds of megabytes.
void WritePatternFile(const std::filesystem::path& path, std::uint64_t size);
// SHA-256 in hex of a file, by sha256sum (the harness's own hash is slow in a debug build).
std::string Sha256OfFile(const std::filesystem::path& path);

class UploadSessionTest : public ::testing::Test {
 protected:
  explicit UploadSessionTest(std::chrono::seconds limit = std::chrono::seconds(60))
      : deadline_(limit) {}

  // Composes the request for the files (paths in the temporary folder) and fields.
  void Compose(const std::vector<std::filesystem::path>& paths, const std::vector<PostData>& fields,
               std::string actionUrl = "/upload.php");
  // Shows the window against port; returns once it has closed.
  SessionOutcome Run(int port);
  // The bytes a complete upload of the composed request puts on the wire.
  std::string ExpectedWire();

  testing::TestDeadline deadline_;
  testing::TempDir dir_;
  posix::PosixPlatform posix_;
  headless::HeadlessUi ui_{posix_.Loop()};
  Platform platform_ = posix_.Bind(ui_);
  testing::FakeUploadOwner owner_ = SessionOwner();
};

}  // namespace veldrask::upload_test
