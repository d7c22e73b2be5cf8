#include "win32/ui/win32_ui.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <stdexcept>

#include "base/error.h"
#include "win32/ui/container.h"
#include "win32/ui/form.h"
#include "win32/wide_text.h"

namespace veldrask::win32 {
namespace {

constexpr int kFontPoints = 9;

// The window class is the module's: registered by the first Ui, removed with the last.
int uiCount = 0;

UINT MessageIconStyle(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kNone:
      return 0;
    case MessageIcon::kCritical:
      return MB_ICONERROR;
    case MessageIcon::kInformation:
      return MB_ICONINFORMATION;
  }
  return 0;
}

std::string FailureText(std::exception_ptr failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& error) {
    return error.what();
  } catch (...) {
    return "unknown failure";
  }
}

}  // namespace

Win32Ui::Win32Ui(EventLoop& loop, HINSTANCE instance, std::string defaultTitle)
    : loop_(loop),
      instance_(instance),
      defaultTitle_(std::move(defaultTitle)),
      scale_(PixelScale::OfScreen()) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  if (uiCount == 0 && !Win32Container::RegisterWindowClass(instance_)) {
    throw Error(ErrorNumber::kOutOfMemory);
  }
  ++uiCount;
  font_ = CreateFontW(scale_.FontHeight(kFontPoints), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                      DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                      DEFAULT_PITCH | FF_SWISS, L"Tahoma");
}

Win32Ui::~Win32Ui() {
  DeleteObject(font_);
  if (--uiCount == 0) UnregisterClassW(kContainerClass, instance_);
}

std::unique_ptr<Form> Win32Ui::CreateForm(std::string name, std::string_view caption,
                                          Bounds clientSize, FormPlacement placement) {
  return std::make_unique<Win32Form>(*this, std::move(name), caption, clientSize, placement);
}

void Win32Ui::ShowMessage(std::string_view text, MessageIcon icon,
                          std::optional<std::string_view> caption) {
  MessageBoxW(DialogOwner(), Widen(text).c_str(), Widen(caption.value_or(defaultTitle_)).c_str(),
              MB_OK | MessageIconStyle(icon));
}

std::string Win32Ui::BrowseForFolder(std::string_view title) {
  const std::wstring wideTitle = Widen(title);
  wchar_t name[MAX_PATH] = {};
  BROWSEINFOW browse{};
  browse.hwndOwner = DialogOwner();
  browse.pszDisplayName = name;
  browse.lpszTitle = wideTitle.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
  if (chosen == nullptr) return "";
  wchar_t path[MAX_PATH] = {};
  const bool found = SHGetPathFromIDListW(chosen, path);
  CoTaskMemFree(chosen);
  return found ? Narrow(path) : "";
}

HWND Win32Ui::DialogOwner() const {
  if (!modals_.empty()) return modals_.back();
  return host_ == nullptr ? nullptr : GetAncestor(host_, GA_ROOT);
}

HWND Win32Ui::WindowOf(const Form& form) {
  return dynamic_cast<const Win32Form&>(form).Window();
}

void Win32Ui::ReportFailure(std::exception_ptr failure) noexcept {
  try {
    if (failureHandler_) {
      failureHandler_(failure);
    } else {
      ShowMessage(FailureText(failure), MessageIcon::kCritical, std::nullopt);
    }
  } catch (...) {
    // Nothing may leave a window procedure; the failure has nowhere further to go.
  }
}

void Win32Ui::SetHostWindow(HWND host) {
  host_ = host;
  for (Win32Form* surface : surfaces_) surface->Rehome();
}

void Win32Ui::RemoveSurface(const Win32Form& surface) {
  surfaces_.erase(std::remove(surfaces_.begin(), surfaces_.end(), &surface), surfaces_.end());
}

void Win32Ui::SetHandlerHooks(std::function<void()> entering, std::function<void()> leaving) {
  entering_ = std::move(entering);
  leaving_ = std::move(leaving);
}

void Win32Ui::CloseModalForms() noexcept {
  // Closing one may close or open others: each window is looked up again.
  const std::vector<HWND> open(modals_.rbegin(), modals_.rend());
  for (HWND window : open) {
    if (std::find(modals_.begin(), modals_.end(), window) == modals_.end()) continue;
    try {
      if (auto* form = dynamic_cast<Win32Form*>(Win32Widget::FromWindow(window))) form->Close();
    } catch (...) {
      ReportFailure(std::current_exception());
    }
  }
}

bool Win32Ui::TranslateDialogMessage(MSG& message) const {
  if (modals_.empty() || message.message < WM_KEYFIRST || message.message > WM_KEYLAST) {
    return false;
  }
  HWND dialog = modals_.back();
  if (message.hwnd != dialog && !IsChild(dialog, message.hwnd)) return false;
  return IsDialogMessageW(dialog, &message) != FALSE;
}

void Win32Ui::PopModal(HWND window) {
  modals_.erase(std::remove(modals_.begin(), modals_.end(), window), modals_.end());
}

}  // namespace veldrask::win32
