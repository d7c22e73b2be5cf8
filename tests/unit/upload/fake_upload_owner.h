#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "upload/upload_owner.h"
#include "upload/upload_request.h"

namespace veldrask::testing {

// What the upload window reads of its control, set by each test, and the replies it stores.
class FakeUploadOwner final : public UploadOwner {
 public:
  std::vector<AttachedFile> AttachedFileList() const override { return request.attachedFiles; }
  std::string EngTitleVer() const override { return "엔진 Ver 1.8"; }
  std::int32_t BufferSize() const override { return bufferSize; }
  std::string Boundary() const override { return boundary; }
  std::string HostName() const override { return host; }
  std::int16_t ServerPort() const override { return port; }
  std::string UploadHTTPHeader() const override { return request.httpHeader; }
  std::string UploadHTTPFormData() const override { return request.formData; }
  std::string MainTitle() const override { return "업로드 [엔진 Ver 1.8]"; }
  void SetHTTPResponseData(std::string data) override { responses.push_back(std::move(data)); }
  void SetHTTPResponseStatus(std::string status) override { statuses.push_back(std::move(status)); }
  ExchangeObserver* Observer() const override { return nullptr; }
  const HostOptions& GetHostOptions() const override { return hostOptions; }

  HostOptions hostOptions;
  UploadRequest request;
  std::string boundary = "Q7x2Lm9PzA4kT0rWb8Nc1YeV5sHu3JdG";
  std::string host = "example.test";
  std::int16_t port = 8080;
  std::int32_t bufferSize = 8192;
  std::vector<std::string> responses;
  std::vector<std::string> statuses;
};

}  // namespace veldrask::testing
