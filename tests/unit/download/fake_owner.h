#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/records.h"
#include "download/download_owner.h"

namespace veldrask::testing {

// What the download window reads of its control, set by each test.
class FakeOwner final : public DownloadOwner {
 public:
  std::string folder;
  std::vector<AttachedFile> files{AttachedFile{}};
  bool overwrite = false;
  std::string host = "files.example";
  std::int16_t port = 8080;
  std::string title = "자료실 [초록모래 파일트랜스퍼 Ver 1.8]";
  bool utf8Names = false;
  HostOptions hostOptions;

  // How each file of the sessions ended, in order.
  struct Reports final : ExchangeObserver {
    std::vector<DownloadReport> ended;
    void DownloadEnded(const DownloadReport& report) override { ended.push_back(report); }
  };
  mutable Reports reports;

  std::string downFolder() const override { return folder; }
  std::vector<AttachedFile> DownFileList() const override { return files; }
  bool CheckDupFile() const override { return overwrite; }
  std::string EngTitleVer() const override { return "초록모래 파일트랜스퍼 Ver 1.8"; }
  std::string HostName() const override { return host; }
  std::int16_t ServerPort() const override { return port; }
  std::string MainTitle() const override { return title; }
  ExchangeObserver* Observer() const override { return &reports; }
  bool NamesInUtf8() const override { return utf8Names; }
  const HostOptions& GetHostOptions() const override { return hostOptions; }

  // Lists a file as the download command would: entries in order, the empty one last.
  void Add(std::string key, std::string name, std::int32_t size) {
    files.back() = AttachedFile{std::move(key), std::move(name), size, ""};
    files.emplace_back();
  }
};

}  // namespace veldrask::testing
