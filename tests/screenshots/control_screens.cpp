// Shows the real control, on the Win32 platform and the Win32 Ui, in a page window, as the
// user of a page sees it: the upload screen after the user added the files of a folder through
// the open dialog (answered through the dialog's own controls), or the download screen with
// the files a script listed, ticked, and one the user unticked. scripts/screenshots.sh
// photographs it under Xvfb.
//
//   control_screens upload|download FOLDER

#include <windows.h>

#include <filesystem>
#include <string>

#include "control/uploader_control.h"
#include "win32/ui/widget.h"
#include "win32/ui/win32_ui.h"
#include "win32/wide_text.h"
#include "win32/win32_platform.h"
#include "win32_ui/dialog_driver.h"

namespace veldrask {
namespace {

constexpr char kTitle[] = "VeldraskUploader";

// A container without a web document: enough to show the control.
class PageHost : public Host {
 public:
  void PropertyChanged(std::string_view /*name*/) override {}
  Document* HostDocument() override { return nullptr; }
};

HWND CreatePage() {
  WNDCLASSEXW pageClass{};
  pageClass.cbSize = sizeof pageClass;
  pageClass.lpfnWndProc = DefWindowProcW;
  pageClass.hInstance = GetModuleHandleW(nullptr);
  pageClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  pageClass.lpszClassName = L"VeldraskPage";
  RegisterClassExW(&pageClass);
  return CreateWindowExW(0, pageClass.lpszClassName, L"UploaderControl",
                         WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 680, 500, nullptr, nullptr,
                         pageClass.hInstance, nullptr);
}

HWND WindowOf(Widget& widget) {
  return dynamic_cast<win32::Win32Widget&>(widget).Window();
}

// The user clicks the add button and picks every file of folder in the open dialog.
void AddAllFiles(UploaderControl& control, const std::filesystem::path& folder) {
  std::wstring names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names += L"\"" + entry.path().filename().wstring() + L"\" ";
  }
  testing::OnDialog([folder, names](HWND dialog) {
    testing::EnterFileName(dialog, folder.wstring());
    testing::OnDialog([names](HWND same) { testing::EnterFileName(same, names); });
  });
  SendMessageW(WindowOf(control.Surface().cmdAdd), BM_CLICK, 0, 0);
}

void ListDownloads(UploaderControl& control, const std::filesystem::path& folder) {
  control.SetUpDownload("1");
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    control.AddDownloadFile(win32::Narrow(entry.path().filename().wstring()),
                            static_cast<std::int32_t>(entry.file_size()));
  }
  // The user unticks the second row.
  ListView& list = control.Surface().downloadFileList;
  list.SetSelected(2, true);
  SendMessageW(WindowOf(list), WM_KEYDOWN, VK_SPACE, 0);
  SendMessageW(WindowOf(list), WM_KEYUP, VK_SPACE, 0);
}

int Run(bool upload, const std::filesystem::path& folder) {
  win32::Win32Platform pieces;
  win32::Win32Ui ui(pieces.Loop(), GetModuleHandleW(nullptr), kTitle);
  HWND page = CreatePage();
  HWND host = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 10, 660, 460, page,
                              nullptr, nullptr, nullptr);
  ui.SetHostWindow(host);
  Platform platform = pieces.Bind(ui);
  PageHost pageHost;
  {
    UploaderControl control(platform, pageHost);
    control.InitNew();
    control.SetMaxFileCount(10);
    control.SetMaxFileSize(10);
    if (upload) {
      AddAllFiles(control, folder);
    } else {
      ListDownloads(control, folder);
    }
    if (pieces.Loop().WaitUntil([page] { return IsWindowVisible(page) == FALSE; }) !=
        WaitOutcome::kDone) {
      return 1;
    }
  }
  ui.SetHostWindow(nullptr);
  DestroyWindow(page);
  return 0;
}

}  // namespace
}  // namespace veldrask

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  return veldrask::Run(std::wstring_view(argv[1]) == L"upload", argv[2]);
}
