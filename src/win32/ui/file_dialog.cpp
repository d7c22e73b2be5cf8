#include "win32/ui/file_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "win32/ui/win32_ui.h"
#include "win32/wide_text.h"

namespace veldrask::win32 {
namespace {

// What the dialog wrote: up to the empty string that ends its list, without the NUL before
// it. One path, or the folder and the names, each ended by a NUL.
std::wstring_view Selection(const std::vector<wchar_t>& buffer) {
  const std::wstring_view written(buffer.data(), buffer.size());
  const std::size_t end = written.find(std::wstring_view(L"\0\0", 2));
  return written.substr(0, end == std::wstring_view::npos ? written.find(L'\0') : end);
}

}  // namespace

Win32FileDialog::Win32FileDialog(Win32Form& form, std::string name, Win32Container& container)
    : Win32Widget(form, WidgetKind::kFileDialog, std::move(name), &container, "", Bounds{}) {}

void Win32FileDialog::ShowOpen() {
  const std::size_t room = static_cast<std::size_t>(std::max(maxFileSize_, 2));
  // Two NULs past the room keep the end of the list findable whatever the dialog wrote.
  std::vector<wchar_t> buffer(room + 2, L'\0');
  const std::wstring initial = Widen(fileName_);
  if (initial.size() < room && initial.find(L'\0') == std::wstring::npos) {
    std::copy(initial.begin(), initial.end(), buffer.begin());
  }
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = Ui().DialogOwner();
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<DWORD>(room);
  dialog.Flags = static_cast<DWORD>(flags_);
  if (GetOpenFileNameW(&dialog)) fileName_ = Narrow(Selection(buffer));
}

}  // namespace veldrask::win32
