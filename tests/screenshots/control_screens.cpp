// Shows the real control, on the Win32 platform and the Win32 Ui, in a page window, as the
// user of a page sees it: the upload screen after the user added the files of a folder through
// the open dialog (answered through the dialog's own controls), or the download screen with
// the files a script listed, ticked, and one the user unticked; or a transfer window held in
// the middle of the folder's largest file by a server that stalls it, which it draws into a BMP
// file itself and then quits. scripts/screenshots.sh photographs it under Xvfb.
//
//   control_screens upload|download FOLDER
//   control_screens upload-progress|download-progress FOLDER BMP

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "control/uploader_control.h"
#include "stalling_server.h"
#include "win32/ui/widget.h"
#include "win32/ui/win32_ui.h"
#include "win32/wide_text.h"
#include "win32/win32_platform.h"
#include "win32_ui/dialog_driver.h"
#include "window_capture.h"

namespace veldrask {
namespace {

constexpr char kTitle[] = "VeldraskUploader";

// A container whose page has no cookie and stays where it is after an upload.
class PageHost : public Host, public Document {
 public:
  void PropertyChanged(std::string_view /*name*/) override {}
  Document* HostDocument() override { return this; }
  std::string Cookie() override { return ""; }
  void SetLocation(const std::string& /*url*/) override {}
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

// The folder's files, the largest first.
std::vector<std::filesystem::directory_entry> FilesBySize(const std::filesystem::path& folder) {
  std::vector<std::filesystem::directory_entry> files{std::filesystem::directory_iterator(folder),
                                                      std::filesystem::directory_iterator()};
  std::sort(files.begin(), files.end(),
            [](const auto& a, const auto& b) { return a.file_size() > b.file_size(); });
  return files;
}

void ListDownloads(UploaderControl& control, const std::filesystem::path& folder) {
  control.SetUpDownload("1");
  for (const auto& entry : FilesBySize(folder)) {
    control.AddDownloadFile(win32::Narrow(entry.path().filename().wstring()),
                            static_cast<std::int32_t>(entry.file_size()));
  }
  // The user unticks the second row.
  ListView& list = control.Surface().downloadFileList;
  list.SetSelected(2, true);
  SendMessageW(WindowOf(list), WM_KEYDOWN, VK_SPACE, 0);
  SendMessageW(WindowOf(list), WM_KEYUP, VK_SPACE, 0);
}

// Where the transfer window is drawn once the transfer has stalled.
std::filesystem::path captureFile;

BOOL CALLBACK CaptureTransferWindow(HWND window, LPARAM) {
  wchar_t title[64] = {};
  GetWindowTextW(window, title, 64);
  const std::wstring_view shown(title);
  if (!IsWindowVisible(window) ||
      !(shown.starts_with(L"업로드 진행상황") || shown.starts_with(L"다운로드 진행상황"))) {
    return TRUE;
  }
  CaptureWindow(window, captureFile);
  return FALSE;
}

void CALLBACK CaptureAndQuit(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  EnumThreadWindows(GetCurrentThreadId(), CaptureTransferWindow, 0);
  PostQuitMessage(0);  // the window closes as its loop ends
}

// The transfer of screen against a server that keeps it in the middle of the largest file.
void Transfer(UploaderControl& control, std::wstring_view screen,
              const std::filesystem::path& folder) {
  const bool upload = screen == L"upload-progress";
  const auto largest = static_cast<std::size_t>(FilesBySize(folder).front().file_size());
  StallingServer server(
      upload ? StallingServer::Mode::kReadNothing : StallingServer::Mode::kAnswerPart, largest,
      largest * 37 / 100);
  control.SetMaxFileSize(100);
  control.SetHostName("127.0.0.1");
  control.SetServerPort(static_cast<std::int16_t>(server.Port()));
  control.SetActionURL("/upload.php");
  SetTimer(nullptr, 0, 6000, CaptureAndQuit);
  if (upload) {
    AddAllFiles(control, folder);
    control.Submit();
  } else {
    ListDownloads(control, folder);
    SendMessageW(WindowOf(control.Surface().cmdDownload), BM_CLICK, 0, 0);
  }
}

// The folder the download command writes to, as the folder browser leaves it in the registry.
void RememberDownloadFolder(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  const std::wstring value = folder.wstring();
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\VELDRASKUpDownloader", L"DownPath", REG_SZ,
                  value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

int Run(std::wstring_view screen, const std::filesystem::path& folder) {
  win32::Win32Platform pieces;
  win32::Win32Ui ui(pieces.Loop(), GetModuleHandleW(nullptr), kTitle);
  HWND page = CreatePage();
  HWND host = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 10, 660, 460, page,
                              nullptr, nullptr, nullptr);
  ui.SetHostWindow(host);
  Platform platform = pieces.Bind(ui);
  PageHost pageHost;
  if (screen == L"download-progress") {
    RememberDownloadFolder(std::filesystem::temp_directory_path() / L"받은 파일");
  }
  {
    UploaderControl control(platform, pageHost);
    control.InitNew();
    control.SetMaxFileCount(10);
    control.SetMaxFileSize(10);
    if (screen == L"upload") {
      AddAllFiles(control, folder);
    } else if (screen == L"download") {
      ListDownloads(control, folder);
    } else {
      Transfer(control, screen, folder);
      return std::filesystem::exists(captureFile) ? 0 : 1;
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
  if (argc != 3 && argc != 4) return 2;
  if (argc == 4) veldrask::captureFile = argv[3];
  return veldrask::Run(argv[1], argv[2]);
}
