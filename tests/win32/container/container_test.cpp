// The control DLL in the OLE container, under Wine and Xvfb: <param>s, members by name, the
// page's document, and transfers with the PHP test server through the control's own windows,
// its dialogs answered through their controls.

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "control_host.h"
#include "dialog_user.h"
#include "win32/wide_text.h"

namespace veldrask::container {
namespace {

namespace fs = std::filesystem;

constexpr char kProgId[] = "VeldraskUploader.UploaderControl";

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) ADD_FAILURE() << name << " is not set (run_container_test.sh sets it)";
  return value != nullptr ? value : "";
}

fs::path PathOf(const std::string& utf8) {
  return fs::path(win32::Widen(utf8));
}

std::string Utf8Of(const fs::path& path) {
  return win32::Narrow(path.wstring());
}

std::vector<char> Contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const fs::path& file, std::size_t size) {
  std::ofstream out(file, std::ios::binary);
  for (std::size_t index = 0; index < size; ++index) {
    out.put(static_cast<char>((index * 31 + index / 251) & 0xFF));
  }
}

// Handles what is queued for this thread's windows, as the page's message loop would.
void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// What the loaded control DLL answers to DllCanUnloadNow.
bool ControlDllCanUnload() {
  HMODULE dll = GetModuleHandleW(L"VeldraskUploader.dll");
  if (dll == nullptr) return true;
  const auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow")));
  return canUnload != nullptr && canUnload() == S_OK;
}

// The folder the control remembers, as the folder browser leaves it, for as long as it lives.
class RememberedDownloadFolder {
 public:
  explicit RememberedDownloadFolder(const fs::path& folder) {
    HKEY settings = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &settings, nullptr),
              ERROR_SUCCESS);
    const std::wstring value = folder.wstring();
    RegSetValueExW(settings, L"DownPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(settings);
  }
  ~RememberedDownloadFolder() { RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kSettingsKey, L"DownPath"); }
  RememberedDownloadFolder(const RememberedDownloadFolder&) = delete;
  RememberedDownloadFolder& operator=(const RememberedDownloadFolder&) = delete;

 private:
  static constexpr wchar_t kSettingsKey[] = L"Software\\VELDRASKUpDownloader";
};

class ContainerTest : public ::testing::Test {
 protected:
  ContainerTest()
      : port_(Environment("VELDRASK_PHP_PORT")),
        store_(PathOf(Environment("VELDRASK_PHP_STORE"))),
        scratch_(fs::temp_directory_path() / L"컨테이너 시험") {
    fs::current_path(scratch_.parent_path());
    fs::remove_all(scratch_);
    fs::create_directories(scratch_);
  }
  ~ContainerTest() override {
    host_.reset();
    // The file dialog leaves its folder the current one.
    fs::current_path(scratch_.parent_path());
    std::error_code ignored;
    fs::remove_all(scratch_, ignored);
  }

  ControlHost& Host(const Params& params) {
    host_ = std::make_unique<ControlHost>(
        ControlSource{kProgId, Environment("VELDRASK_CONTROL_DLL")}, "시험 페이지");
    host_->SetCookie("sid=가나다; theme=dark");
    host_->LoadParams(params);
    host_->Activate(632, 433);
    return *host_;
  }

  Params ServerParams() const {
    return {{"HostName", "127.0.0.1"},
            {"ServerPort", port_},
            {"ActionURL", "/upload.php"},
            {"ReturnURL", "/done.php?from=컨테이너"},
            {"MainTitle", "초록모래 올리기"},
            {"MaxFileCount", "5"},
            {"Charset", "utf-8"}};
  }

  OleApartment apartment_;
  DialogUser user_;
  std::string port_;
  fs::path store_;
  fs::path scratch_;
  std::unique_ptr<ControlHost> host_;
};

TEST_F(ContainerTest, ParamsReachTheControlInPlaceAndReadBackByName) {
  const Params params = {{"MainTitle", "초록모래 [올리기]"},
                         {"hostname", "127.0.0.1"},
                         {"ServerPort", "8080"},
                         {"FilePrefix", "접두_"},
                         {"MaxFileCount", "7"},
                         {"ExcludeFileExtension", "exe;bat"},
                         {"Charset", "utf-8"}};
  ControlHost& host = Host(params);

  EXPECT_EQ(host.CreatedFromRegistry(), Environment("VELDRASK_CONTROL_REGISTERED") == "1")
      << "through the registry when registered, from the DLL otherwise";
  EXPECT_TRUE(host.InPlaceActive());
  const std::string engine = " [" + host.Get("EngTitleVer") + "]";
  for (const auto& [name, value] : params) {
    // The control puts its own name after the page's title.
    EXPECT_EQ(host.Get(name), name == "MainTitle" ? value + engine : value) << name;
  }
  EXPECT_EQ(host.Get("HostName"), "127.0.0.1") << "<param> names match without regard to case";
}

TEST_F(ContainerTest, MembersByNameCarryTextsAndTheControlsErrors) {
  ControlHost& host = Host({});
  host.Put("MainTitle", "한글 제목 ✓");
  EXPECT_EQ(host.Get("MainTitle"), "한글 제목 ✓ [" + host.Get("EngTitleVer") + "]");

  struct Case {
    const char* what;
    std::function<void()> call;
  } cases[] = {
      {"an unknown member", [&] { host.Call("NoSuchMember"); }},
      {"a count given a word", [&] { host.Put("MaxFileCount", "many"); }},
      {"a method without its arguments", [&] { host.Call("AddDownloadFile"); }},
  };
  for (const Case& test : cases) {
    try {
      test.call();
      ADD_FAILURE() << test.what << " was accepted";
    } catch (const MemberError& error) {
      EXPECT_NE(error.Number(), 0) << test.what;
      EXPECT_FALSE(error.Description().empty()) << test.what;
    }
  }
}

TEST_F(ContainerTest, UpDownloadSwitchesTheScreenAndIsAnnounced) {
  ControlHost& host = Host({});
  host.TakeChangedProperties();
  struct Case {
    const char* value;
    const char* buttonShown;
  } cases[] = {{"1", "다운로드"}, {"0", "추가"}};
  for (const Case& test : cases) {
    host.Put("UpDownload", test.value);
    EXPECT_EQ(host.Get("UpDownload"), test.value);
    const std::vector<std::string> changed = host.TakeChangedProperties();
    EXPECT_NE(std::find(changed.begin(), changed.end(), "UpDownload"), changed.end())
        << "UpDownload=" << test.value;
    EXPECT_TRUE(host.ShowsButton(test.buttonShown))
        << "the screen of UpDownload=" << test.value << " is shown";
  }
  EXPECT_TRUE(user_.Messages().empty());
}

TEST_F(ContainerTest, UploadGoesThroughTheFileDialogAndTheTransferWindow) {
  const std::vector<std::pair<std::wstring, std::size_t>> files = {{L"가나다.txt", 1000},
                                                                   {L"data.bin", 300'000}};
  for (const auto& [name, size] : files) Write(scratch_ / name, size);
  ControlHost& host = Host(ServerParams());
  host.Put("UpDownload", "0");

  user_.ChooseFiles(Utf8Of(scratch_), {"가나다.txt", "data.bin"});
  host.ClickButton("추가");
  EXPECT_EQ(host.Get("CurrentFileCount"), "2");
  host.Call("AddPostData", {"memo", "메모 한 줄"});
  const std::string reply = host.Call("Submit");

  EXPECT_NE(reply.find("\"server\":\"php\""), std::string::npos) << reply;
  EXPECT_NE(reply.find("\"value_hex\":\"eba994ebaaa820ed959c20eca484\""), std::string::npos)
      << "the page's field in UTF-8: " << reply;
  EXPECT_TRUE(user_.Messages().empty()) << user_.Messages().front().text;
  for (const auto& [name, size] : files) {
    const std::vector<char> sent = Contents(scratch_ / name);
    ASSERT_EQ(sent.size(), size);
    EXPECT_EQ(Contents(store_ / name), sent) << Utf8Of(name);
  }
  EXPECT_EQ(host.Location(), "http://127.0.0.1/done.php?from=컨테이너");
  EXPECT_NE(host.Get("UploadHTTPHeader").find("sid=가나다"), std::string::npos)
      << "the page's cookie goes with the upload";
}

TEST_F(ContainerTest, DownloadGoesThroughTheTransferWindowIntoTheChosenFolder) {
  const std::vector<std::pair<std::wstring, std::size_t>> files = {{L"down-a.txt", 2048},
                                                                   {L"down-b.bin", 250'000}};
  for (const auto& [name, size] : files) Write(store_ / name, size);
  const fs::path folder = scratch_ / L"받은 파일";
  fs::create_directories(folder);
  const RememberedDownloadFolder remembered(folder);

  ControlHost& host = Host(ServerParams());
  host.Put("UpDownload", "1");
  for (const auto& [name, size] : files) {
    host.Call("AddDownloadFile", {"/" + Utf8Of(name), std::to_string(size)});
  }
  host.ClickButton("다운로드");

  EXPECT_TRUE(user_.Messages().empty()) << user_.Messages().front().text;
  for (const auto& [name, size] : files) {
    EXPECT_EQ(Contents(folder / name), Contents(store_ / name)) << Utf8Of(name);
  }
}

// The user picks the download folder in the folder browser, through its tree and OK: the
// control remembers it in the registry.
TEST_F(ContainerTest, TheFolderBrowserChoosesTheDownloadFolder) {
  wchar_t desktop[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, TRUE));
  const fs::path folder = fs::path(desktop) / L"컨테이너 받은 파일";
  fs::create_directories(folder);
  const RememberedDownloadFolder remembered(scratch_);  // the choice before
  ControlHost& host = Host({});
  host.Put("UpDownload", "1");

  user_.ChooseDesktopFolder(Utf8Of(folder.filename()));
  host.ClickButton("폴더 선택");

  wchar_t saved[MAX_PATH] = {};
  DWORD size = sizeof saved;
  EXPECT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\VELDRASKUpDownloader", L"DownPath",
                         RRF_RT_REG_SZ, nullptr, saved, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(fs::path(saved), folder);
  EXPECT_TRUE(user_.Messages().empty());
  fs::remove_all(folder);
}

// Each transfer window goes while a large file is on its way, closed by the user's close box
// or by the page letting the control go: the transfer stops there (the server never stores
// the whole upload, the download never gets its final name), the loop unwinds without a
// crash, and once the page has let go nothing of the control is left alive.
TEST_F(ContainerTest, ATransferWindowClosedMidwayStopsTheTransfer) {
  constexpr std::size_t kLarge = 64u << 20;
  const fs::path folder = scratch_ / L"받은 파일";
  fs::create_directories(folder);
  Write(scratch_ / L"큰 파일.bin", kLarge);
  Write(store_ / L"big-down.bin", kLarge);
  struct Transfer {
    const char* window;
    std::function<fs::path(ControlHost&)> run;  // runs it; where the whole file would land
  } transfers[] = {
      {"업로드 진행상황 [",
       [&](ControlHost& host) {
         host.Put("UpDownload", "0");
         user_.ChooseFiles(Utf8Of(scratch_), {"큰 파일.bin"});
         host.ClickButton("추가");
         host.Call("Submit");
         return store_ / L"큰 파일.bin";
       }},
      {"다운로드 진행상황 [",
       [&](ControlHost& host) {
         host.Put("UpDownload", "1");
         host.Call("AddDownloadFile", {"/big-down.bin", std::to_string(kLarge)});
         host.ClickButton("다운로드");
         return folder / L"big-down.bin";
       }},
  };
  enum class Closer { kUser, kPage };
  const RememberedDownloadFolder remembered(folder);
  Params params = ServerParams();
  params.push_back({"MaxFileSize", "100"});
  for (const Closer closer : {Closer::kUser, Closer::kPage}) {
    for (const Transfer& transfer : transfers) {
      const std::string what = std::string(transfer.window) +
                               (closer == Closer::kUser ? " by its close box" : " by the page");
      ControlHost& host = Host(params);
      HWND shown = nullptr;
      user_.WhenWindowShows(transfer.window, [&](HWND window) {
        shown = window;
        if (closer == Closer::kUser) {
          PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else {
          host.ReleaseControl();
        }
      });
      const fs::path whole = transfer.run(host);
      EXPECT_NE(shown, nullptr) << what;
      EXPECT_FALSE(IsWindowVisible(shown)) << what;
      EXPECT_TRUE(user_.Messages().empty()) << what << ": " << user_.Messages().front().text;
      std::error_code absent;
      EXPECT_NE(fs::file_size(whole, absent), kLarge) << what << ": the transfer went on";
      fs::remove(whole, absent);
      if (closer == Closer::kPage) {
        PumpMessages();
        EXPECT_TRUE(ControlDllCanUnload()) << what << ": something of the control is left";
      }
    }
  }
}

}  // namespace
}  // namespace veldrask::container
