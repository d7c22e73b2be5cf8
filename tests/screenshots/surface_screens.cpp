// Shows the control's surface, built by the core's own surface code through the Win32 Ui, in
// a page window: the upload screen with queued files and their shell icons, or the download
// screen with ticked rows. scripts/screenshots.sh photographs it under Xvfb.
//
//   surface_screens upload|download FOLDER
//
// FOLDER holds the files to list (their shell icons and type names come from the system).

#include <windows.h>
// The shell's declarations need the Windows types above.
#include <shellapi.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/control_surface.h"
#include "win32/ui/icon_picture.h"
#include "win32/ui/wide_text.h"
#include "win32/ui/win32_ui.h"
#include "win32_ui/message_pump.h"

namespace veldrask {
namespace {

struct ShellFile {
  std::string path;
  std::string name;
  std::string extension;
  std::string typeName;
  std::uintmax_t size;
};

std::vector<ShellFile> FilesIn(const std::filesystem::path& folder) {
  std::vector<ShellFile> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    SHFILEINFOW info{};
    SHGetFileInfoW(entry.path().c_str(), 0, &info, sizeof info, SHGFI_TYPENAME);
    files.push_back(ShellFile{win32::Narrow(entry.path().wstring()),
                              win32::Narrow(entry.path().filename().wstring()),
                              win32::Narrow(entry.path().extension().wstring()),
                              win32::Narrow(info.szTypeName), entry.file_size()});
  }
  return files;
}

Picture ShellIcon(const ShellFile& file, UINT size) {
  SHFILEINFOW info{};
  SHGetFileInfoW(win32::Widen(file.path).c_str(), 0, &info, sizeof info, SHGFI_ICON | size);
  return win32::IconPicture(file.extension, info.hIcon);
}

bool HasKey(const ImageList& images, std::string_view key) {
  for (std::int32_t index = 1; index <= images.Count(); ++index) {
    if (images.Key(index) == key) return true;
  }
  return false;
}

void AddColumns(ListView& list) {
  list.AddColumn({"filename", "파일 이름", 4000, Alignment::kLeft});
  list.AddColumn({"fiesize", "파일 크기(Bytes)", 1700, Alignment::kRight});
  list.AddColumn({"fietype", "파일 형식", 1700, Alignment::kLeft});
  list.SetView(ListViewMode::kReport);
  list.SetLabelEditAutomatic(false);
}

void FillUploadScreen(ControlSurface& surface, const std::vector<ShellFile>& files) {
  for (const ShellFile& file : files) {
    if (!HasKey(surface.smallIconImageList, file.extension)) {
      surface.largePicture.DrawIcon(ShellIcon(file, SHGFI_LARGEICON));
      surface.largeIconImageList.Add(file.extension, surface.largePicture.Snapshot());
      surface.smallPicture.DrawIcon(ShellIcon(file, SHGFI_SMALLICON));
      surface.smallIconImageList.Add(file.extension, surface.smallPicture.Snapshot());
    }
    const auto row = surface.uploadFileList.AddRow(0, file.path, file.path);
    surface.uploadFileList.SetSubItem(*row, 1, std::to_string(file.size));
    surface.uploadFileList.SetSubItem(*row, 2, file.typeName);
    surface.uploadFileList.SetToolTip(*row, file.path);
    surface.uploadFileList.SetIconKeys(*row, file.extension, file.extension);
  }
  surface.uploadFileList.SetSelected(surface.uploadFileList.RowCount(), true);
  surface.lblTotalFileCount.SetCaption(std::to_string(files.size()) + " 개 (최대 10 개)");
  SetDownloadScreenVisible(*surface.form, false);
  SetUploadScreenVisible(*surface.form, true);
}

void FillDownloadScreen(ControlSurface& surface, const std::vector<ShellFile>& files) {
  for (const ShellFile& file : files) {
    const auto row = surface.downloadFileList.AddRow(0, file.name, file.name);
    surface.downloadFileList.SetSubItem(*row, 1, std::to_string(file.size));
    surface.downloadFileList.SetSubItem(*row, 2, file.typeName);
    surface.downloadFileList.SetChecked(*row, *row != 2);
  }
  surface.lblDNTotalFileCount.SetCaption(std::to_string(files.size()) + " 개");
  SetUploadScreenVisible(*surface.form, false);
  surface.dnMainFrame.Move(0, 0);
  SetDownloadScreenVisible(*surface.form, true);
}

int Run(bool upload, const std::filesystem::path& folder) {
  testing::MessagePump pump;
  WNDCLASSEXW pageClass{};
  pageClass.cbSize = sizeof pageClass;
  pageClass.lpfnWndProc = DefWindowProcW;
  pageClass.hInstance = GetModuleHandleW(nullptr);
  pageClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  pageClass.lpszClassName = L"VeldraskPage";
  RegisterClassExW(&pageClass);
  HWND page = CreateWindowExW(0, pageClass.lpszClassName, L"UploaderControl",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 680, 500, nullptr, nullptr,
                              pageClass.hInstance, nullptr);
  HWND host = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 10, 660, 460, page,
                              nullptr, nullptr, nullptr);
  win32::Win32Ui ui(pump, GetModuleHandleW(nullptr), "VeldraskUploader");
  ui.SetHostWindow(host);
  {
    std::unique_ptr<ControlSurface> surface = BuildControlSurface(ui);
    surface->mainFrame.SetCaption("초록모래 파일트랜스퍼 Ver 1.8");
    surface->dnMainFrame.SetCaption("초록모래 파일트랜스퍼 Ver 1.8");
    AddColumns(surface->uploadFileList);
    AddColumns(surface->downloadFileList);
    surface->uploadFileList.SetImageLists(&surface->largeIconImageList,
                                          &surface->smallIconImageList);
    surface->downloadFileList.SetImageLists(&surface->largeIconImageList,
                                            &surface->smallIconImageList);
    const std::vector<ShellFile> files = FilesIn(folder);
    if (upload) {
      FillUploadScreen(*surface, files);
    } else {
      FillDownloadScreen(*surface, files);
    }
    surface->form->Show();
    if (pump.WaitUntil([page] { return IsWindowVisible(page) == FALSE; }) != WaitOutcome::kDone) {
      return 1;
    }
  }
  DestroyWindow(page);
  return 0;
}

}  // namespace
}  // namespace veldrask

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  return veldrask::Run(std::wstring_view(argv[1]) == L"upload", argv[2]);
}
