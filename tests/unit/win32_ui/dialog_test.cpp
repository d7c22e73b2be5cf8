// Modal windows and the system's dialogs, answered through their own controls.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "dialog_driver.h"
#include "dialog_user.h"
#include "win32/wide_text.h"
#include "win32_ui_fixture.h"
// The folder browser's tree and the shell's folders need the Windows types the fixture brings.
#include <commctrl.h>
#include <shlobj.h>

namespace veldrask::testing {
namespace {

TEST_F(Win32UiTest, TheCloseBoxOfAModalWindowIsTheUsersClose) {
  std::unique_ptr<Form> surface = CreateSurface("UploaderControl", {0, 0, 9480, 6495});
  surface->Show();
  std::unique_ptr<Form> form = ui_.CreateForm("frmProcess", "업로드 진행상황", {0, 0, 7035, 4290},
                                              {FormKind::kModalDialog, surface.get()});
  HWND window = ui_.WindowOf(*form);
  int closes = 0;
  std::optional<bool> ownerEnabledWhileOpen;
  std::optional<bool> windowEnabledWhileOpen;
  form->SetOnClose([&] { ++closes; });
  form->SetOnActivate([&] {
    ownerEnabledWhileOpen = IsWindowEnabled(page_) != 0;
    windowEnabledWhileOpen = IsWindowVisible(window) != 0;
    // The user's click on the close box, while the transfer waits in the event loop.
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(pump_.WaitUntil([&] { return closes > 0; }), WaitOutcome::kDone);
  });

  form->ShowModal();

  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(form->IsOpen());
  EXPECT_EQ(ownerEnabledWhileOpen, false) << "the page is disabled while the window is modal";
  EXPECT_EQ(windowEnabledWhileOpen, true);
  EXPECT_TRUE(IsWindowEnabled(page_));
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(GetWindow(window, GW_OWNER), page_)
      << "a modal window is owned by the top-level window that holds its owner";
}

// Tab moves the focus through each of a modal window's controls once, into and out of its
// frame, and back to where it started.
TEST_F(Win32UiTest, TabMovesTheFocusThroughAModalWindowsControls) {
  std::unique_ptr<Form> surface = CreateSurface("UploaderControl", {0, 0, 9480, 6495});
  surface->Show();
  std::unique_ptr<Form> form = ui_.CreateForm("frmProcess", "업로드 진행상황", {0, 0, 7035, 4290},
                                              {FormKind::kModalDialog, surface.get()});
  Widget& frame =
      form->AddWidget(WidgetKind::kFrame, "fraProgress", nullptr, "", {60, 60, 6900, 3000});
  const std::vector<HWND> controls = {
      WindowOf(form->AddListView("UploadFileList", &frame, {120, 240, 6600, 1500})),
      WindowOf(form->AddWidget(WidgetKind::kButton, "cmdInside", &frame, "하나",
                               {120, 2000, 1200, 400})),
      WindowOf(form->AddWidget(WidgetKind::kButton, "cmdOutside", nullptr, "둘",
                               {120, 3300, 1200, 400})),
  };
  std::vector<HWND> focused;
  form->SetOnActivate([&] {
    SetFocus(controls.front());
    for (std::size_t step = 0; step < controls.size(); ++step) {
      PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
      pump_.ProcessPendingEvents();
      focused.push_back(GetFocus());
    }
    form->Close();
  });

  form->ShowModal();

  ASSERT_EQ(focused.size(), controls.size());
  EXPECT_EQ(focused.back(), controls.front()) << "the focus comes back where it started";
  std::vector<HWND> visited = focused;
  std::vector<HWND> expected = controls;
  std::sort(visited.begin(), visited.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(visited, expected) << "every control once";
}

HICON IconShownIn(HWND dialog) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      return reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    }
  }
  return nullptr;
}

TEST_F(Win32UiTest, MessageBoxesShowTheTextTitleAndIconTheCoreAsksFor) {
  constexpr int kMessageText = 0xFFFF;
  struct Case {
    MessageIcon icon;
    std::optional<std::string_view> caption;
    const wchar_t* title;
    const wchar_t* iconResource;  // null: no icon
  } cases[] = {
      {MessageIcon::kCritical, "초록모래 [Ver 1.8]", L"초록모래 [Ver 1.8]", IDI_HAND},
      {MessageIcon::kInformation, std::nullopt, L"VeldraskUploader", IDI_ASTERISK},
      {MessageIcon::kNone, std::nullopt, L"VeldraskUploader", nullptr},
  };
  for (const Case& test : cases) {
    std::wstring title;
    std::wstring text;
    HICON icon = nullptr;
    OnDialog([&](HWND dialog) {
      title = TextOf(dialog);
      text = TextOf(GetDlgItem(dialog, kMessageText));
      icon = IconShownIn(dialog);
      ClickButton(dialog, IDOK);
    });
    ui_.ShowMessage("허용된 파일 갯수가 초과되었습니다.\r\n\r\n최대 1개", test.icon, test.caption);
    EXPECT_EQ(title, test.title);
    EXPECT_EQ(text, L"허용된 파일 갯수가 초과되었습니다.\r\n\r\n최대 1개");
    EXPECT_EQ(icon, test.iconResource ? LoadIconW(nullptr, test.iconResource) : nullptr);
  }
}

// A folder with two files, named in Korean.
class FileDialogTest : public Win32UiTest {
 protected:
  FileDialogTest()
      : folder_(std::filesystem::temp_directory_path() / L"업로드 시험"),
        form_(CreateSurface("UploaderControl", {0, 0, 3000, 3000})),
        dialog_(form_->AddFileDialog("ComOpen")) {
    std::filesystem::create_directories(folder_);
    for (const wchar_t* name : {L"가.txt", L"나.txt"}) std::ofstream(folder_ / name) << "12345";
    dialog_.SetMaxFileSize(1024);
    dialog_.SetFlags(0x80000 | 0x200);
  }
  ~FileDialogTest() override {
    // The dialog makes the chosen folder the current one.
    std::filesystem::current_path(folder_.parent_path());
    std::filesystem::remove_all(folder_);
  }

  std::string Folder() const { return win32::Narrow(folder_.wstring()); }

  std::filesystem::path folder_;
  std::unique_ptr<Form> form_;
  FileDialog& dialog_;
};

TEST_F(FileDialogTest, AChoiceBecomesTheFileNameTheCoreSplits) {
  struct Case {
    const char* what;
    bool confirm;
    std::wstring typed;
    std::string fileName;
  } cases[] = {
      {"several files: the folder, then each name after a NUL", true, L"\"가.txt\" \"나.txt\"",
       Folder() + '\0' + "가.txt" + '\0' + "나.txt"},
      {"one file: its full path", true, L"나.txt", Folder() + "\\나.txt"},
      {"a cancel leaves the file name", false, L"", "before"},
  };
  for (const Case& test : cases) {
    dialog_.SetFileName("before");
    OnDialog([&](HWND dialog) {
      if (!test.confirm) return ClickButton(dialog, IDCANCEL);
      // Into the folder first, as a user would go there, then the choice.
      EnterFileName(dialog, folder_.wstring());
      OnDialog([&](HWND same) { EnterFileName(same, test.typed); });
    });
    dialog_.ShowOpen();
    EXPECT_EQ(dialog_.FileName(), test.fileName) << test.what;
  }
}

BOOL CALLBACK FindText(HWND child, LPARAM wanted) {
  auto& search = *reinterpret_cast<std::pair<std::wstring, bool>*>(wanted);
  if (TextOf(child) == search.first) search.second = true;
  return TRUE;
}

// Selects the folder named name among the children of the folder tree's root (the desktop),
// as a user opens the root and clicks the folder.
// The browser opens on the desktop: the folder to choose is one of its folders.
TEST_F(Win32UiTest, TheFolderBrowserShowsTheTitleAndGivesTheChosenFolder) {
  wchar_t desktop[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, TRUE));
  const std::filesystem::path folder = std::filesystem::path(desktop) / L"내려받기 시험";
  std::filesystem::create_directories(folder);
  struct Case {
    bool confirm;
    std::string chosen;
  } cases[] = {{true, win32::Narrow(folder.wstring())}, {false, ""}};
  for (const Case& test : cases) {
    std::pair<std::wstring, bool> title{L"폴더를 선택하여 주세요", false};
    OnDialog([&](HWND dialog) {
      EnumChildWindows(dialog, FindText, reinterpret_cast<LPARAM>(&title));
      if (!test.confirm) return ClickButton(dialog, IDCANCEL);
      EXPECT_TRUE(container::SelectDesktopFolder(
          FindWindowExW(dialog, nullptr, WC_TREEVIEWW, nullptr), folder.filename().wstring()));
      ClickButton(dialog, IDOK);
    });
    EXPECT_EQ(ui_.BrowseForFolder("폴더를 선택하여 주세요"), test.chosen);
    EXPECT_TRUE(title.second) << "the dialog shows the title";
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace veldrask::testing
