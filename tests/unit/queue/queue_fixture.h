#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "control/uploader_control.h"
#include "headless/headless_ui.h"
#include "test_platform.h"

namespace veldrask::testing {

// The real shell, with every question it was asked.
class RecordingShell : public Shell {
 public:
  explicit RecordingShell(Shell& shell) : shell_(shell) {}

  std::optional<FileInfo> GetFileInfo(const std::string& path) override {
    asked.push_back(path);
    return shell_.GetFileInfo(path);
  }
  bool OpenFolder(const std::string& path) override { return shell_.OpenFolder(path); }

  std::vector<std::string> asked;

 private:
  Shell& shell_;
};

// The real file system, with the files it was asked to create and to measure.
class RecordingFiles : public FileSystem {
 public:
  explicit RecordingFiles(FileSystem& files) : files_(files) {}

  std::string_view Separator() const override { return files_.Separator(); }
  std::string DefaultDownloadFolder() const override { return files_.DefaultDownloadFolder(); }
  std::string TempFolder() const override { return files_.TempFolder(); }
  std::int64_t FileSize(const std::string& path) override {
    measured.push_back(path);
    return files_.FileSize(path);
  }
  std::unique_ptr<InputFile> OpenRead(const std::string& path) override {
    return files_.OpenRead(path);
  }
  std::unique_ptr<OutputFile> OpenWrite(const std::string& path) override {
    written.push_back(path);
    return files_.OpenWrite(path);
  }
  std::unique_ptr<OutputFile> CreateExclusive(const std::string& path) override {
    written.push_back(path);
    return files_.CreateExclusive(path);
  }
  void Delete(const std::string& path) override {
    deleted.push_back(path);
    files_.Delete(path);
  }
  void Rename(const std::string& from, const std::string& to) override { files_.Rename(from, to); }
  void RenameExclusive(const std::string& from, const std::string& to) override {
    files_.RenameExclusive(from, to);
  }
  std::vector<FolderFile> ListFiles(const std::string& folder, std::string_view prefix) override {
    return files_.ListFiles(folder, prefix);
  }
  bool FileExists(const std::string& path) override { return files_.FileExists(path); }
  bool FolderExists(const std::string& path) override { return files_.FolderExists(path); }
  void CreateFolder(const std::string& path) override { files_.CreateFolder(path); }

  std::vector<std::string> measured;
  std::vector<std::string> written;
  std::vector<std::string> deleted;

 private:
  FileSystem& files_;
};

// A new control on the test platform (real files, the GIO shell, the headless UI) whose
// shell and file system record what the queue asks of them. Files to choose live in a
// scratch folder of their own.
class QueueTest : public ::testing::Test {
 protected:
  QueueTest() { control_.InitNew(); }

  headless::HeadlessForm& Surface() { return *test_.ui.FindForm("UploaderControl"); }
  headless::HeadlessListView& List() {
    return Surface().Get<headless::HeadlessListView>("UploadFileList");
  }
  headless::HeadlessFileDialog& Dialog() {
    return Surface().Get<headless::HeadlessFileDialog>("ComOpen");
  }
  const std::string& Caption(std::string_view widget) { return Surface().Get(widget).Caption(); }
  UploadQueue& Queue() { return control_.Queue(); }

  // The user picks the file name in the open dialog (nullopt: cancels) and the add command
  // runs.
  void ClickAdd(std::optional<std::string> fileName) {
    test_.ui.SetFileOpenAnswer([fileName](const FileDialog&) { return fileName; });
    Surface().Click("cmdAdd");
  }
  void Add(const std::string& path) { ClickAdd(headless::SelectedFile(path)); }
  void AddMany(std::string_view folder, const std::vector<std::string>& names) {
    ClickAdd(headless::SelectedFiles(folder, names));
  }
  std::string File(std::string_view name, std::int64_t size) {
    return files_.WriteFile(name, size);
  }

  std::vector<std::string> RowKeys() {
    std::vector<std::string> keys;
    for (std::int32_t row = 1; row <= List().RowCount(); ++row) keys.push_back(List().RowKey(row));
    return keys;
  }
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const headless::MessageRecord& message : test_.ui.Messages()) {
      texts.push_back(message.text);
    }
    return texts;
  }

  TestPlatform test_;
  RecordingShell shell_{test_.shell};
  RecordingFiles recordingFiles_{test_.files};
  Platform platform_{test_.loop,  test_.network, recordingFiles_, test_.registry, shell_,
                     test_.clock, test_.ansi,    test_.locale,    test_.random,   test_.ui};
  RecordingHost host_;
  UploaderControl control_{platform_, host_};
  ScratchFolder files_;
};

}  // namespace veldrask::testing
