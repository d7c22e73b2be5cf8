#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "win32/ui/widget.h"

namespace veldrask::win32 {

// The system's file-open dialog. The flags are the dialog's own (OFN_EXPLORER |
// OFN_ALLOWMULTISELECT for the add command); the maximum file size is the room in characters
// for what the dialog returns. A confirmed choice becomes the file name: one full path, or
// for several files the folder and then each name, separated by NUL characters.
class Win32FileDialog : public Win32Widget, public FileDialog {
 public:
  Win32FileDialog(Win32Form& form, std::string name, Win32Container& container);

  std::int32_t Flags() const override { return flags_; }
  void SetFlags(std::int32_t flags) override { flags_ = flags; }
  std::int32_t MaxFileSize() const override { return maxFileSize_; }
  void SetMaxFileSize(std::int32_t size) override { maxFileSize_ = size; }
  const std::string& FileName() const override { return fileName_; }
  void SetFileName(std::string_view name) override { fileName_ = name; }
  // A cancel, or a choice that does not fit the room, leaves the file name as it is.
  void ShowOpen() override;

 private:
  std::int32_t flags_ = 0;
  std::int32_t maxFileSize_ = 260;
  std::string fileName_;
};

}  // namespace veldrask::win32
