#pragma once

// Runs the upload window on the POSIX platform against real servers on 127.0.0.1.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "headless/headless_ui.h"
#include "posix/posix_platform.h"
#include "support/temp_dir.h"
#include "support/test_deadline.h"
#include "upload/upload_owner.h"
#include "upload/upload_request.h"

namespace veldrask::upload_test {

inline constexpr std::string_view kBoundary = "Q7x2Lm9PzA4kT0rWb8Nc1YeV5sHu3JdG";
inline constexpr std::string_view kMainTitle = "업로드 [초록모래 파일트랜스퍼 Ver 1.8]";

class SessionOwner final : public UploadOwner {
 public:
  std::vector<AttachedFile> AttachedFileList() const override { return request.attachedFiles; }
  std::string EngTitleVer() const override { return "초록모래 파일트랜스퍼 Ver 1.8"; }
  std::int32_t BufferSize() const override { return bufferSize; }
  std::string Boundary() const override { return std::string(kBoundary); }
  std::string HostName() const override { return "127.0.0.1"; }
  std::int16_t ServerPort() const override { return port; }
  std::string UploadHTTPHeader() const override { return request.httpHeader; }
  std::string UploadHTTPFormData() const override { return request.formData; }
  std::string MainTitle() const override { return std::string(kMainTitle); }
  void SetHTTPResponseData(std::string data) override { responses.push_back(std::move(data)); }
  void SetHTTPResponseStatus(std::string status) override { statuses.push_back(std::move(status)); }
  ExchangeObserver* Observer() const override { return nullptr; }
  const HostOptions& GetHostOptions() const override { return hostOptions; }

  HostOptions hostOptions;
  UploadRequest request;
  std::int32_t bufferSize = 8192;
  std::int16_t port = 0;
  std::vector<std::string> responses;
  std::vector<std::string> statuses;
};

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
  SessionOwner owner_;
};

}  // namespace veldrask::upload_test
