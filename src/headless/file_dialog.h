#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "headless/widget.h"
#include "platform/ui.h"

namespace veldrask::headless {

// The file-open dialog in memory: ShowOpen asks the answer installed on the HeadlessUi
// (HeadlessUi::SetFileOpenAnswer); without one, the dialog is cancelled.
class HeadlessFileDialog : public HeadlessWidget, public FileDialog {
 public:
  HeadlessFileDialog(HeadlessUi& ui, HeadlessForm& form, std::string name);

  std::int32_t Flags() const override { return flags_; }
  void SetFlags(std::int32_t flags) override { flags_ = flags; }
  std::int32_t MaxFileSize() const override { return maxFileSize_; }
  void SetMaxFileSize(std::int32_t size) override { maxFileSize_ = size; }
  const std::string& FileName() const override { return fileName_; }
  void SetFileName(std::string_view name) override { fileName_ = name; }
  void ShowOpen() override;

  // How often the dialog has been shown.
  std::int32_t ShowCount() const { return showCount_; }

 private:
  std::int32_t flags_ = 0;
  std::int32_t maxFileSize_ = 260;
  std::string fileName_;
  std::int32_t showCount_ = 0;
};

// The file name a dialog gives for several chosen files: the folder, then each name, each
// preceded by a NUL.
std::string SelectedFiles(std::string_view folder, const std::vector<std::string>& names);
// The file name a dialog gives for one chosen file: its full path.
std::string SelectedFile(std::string_view path);

}  // namespace veldrask::headless
