#include "win32/ui/widget.h"

#include "base/error.h"
#include "common/form_state.h"
#include "win32/ui/container.h"
#include "win32/ui/form.h"
#include "win32/ui/win32_ui.h"
#include "win32/wide_text.h"

namespace veldrask::win32 {
namespace {

constexpr wchar_t kWidgetProperty[] = L"VeldraskWidget";

}  // namespace

Win32Widget::Win32Widget(Win32Form& form, WidgetKind kind, std::string name,
                         Win32Container* container, std::string_view caption, Bounds bounds)
    : form_(form),
      kind_(kind),
      name_(std::move(name)),
      container_(container),
      caption_(caption),
      bounds_(bounds),
      visible_(StartsVisible(kind)) {}

Win32Widget::~Win32Widget() {
  if (window_ == nullptr) return;
  // Messages sent while the window goes must not reach a widget that is half destroyed.
  RemovePropW(window_, kWidgetProperty);
  DestroyWindow(window_);
}

Widget* Win32Widget::Container() const {
  return container_;
}

Win32Ui& Win32Widget::Ui() const {
  return form_.OwnerUi();
}

void Win32Widget::SetVisible(bool visible) {
  visible_ = visible;
  ApplyVisible();
}

void Win32Widget::Move(std::int32_t left, std::int32_t top) {
  bounds_.left = left;
  bounds_.top = top;
  ApplyPosition();
}

void Win32Widget::SetCaption(std::string_view caption) {
  // Progress labels are set per transferred block: an unchanged text costs a comparison.
  if (caption_ == caption) return;
  caption_.assign(caption);
  ApplyCaption();
}

Win32Widget* Win32Widget::FromWindow(HWND window) {
  if (window == nullptr) return nullptr;
  return static_cast<Win32Widget*>(GetPropW(window, kWidgetProperty));
}

void Win32Widget::CreateChild(const wchar_t* className, DWORD style, DWORD extendedStyle) {
  const RECT area = Ui().Scale().Rect(bounds_);
  const DWORD visible = visible_ ? WS_VISIBLE : 0;
  HWND window = CreateWindowExW(extendedStyle, className, Widen(caption_).c_str(),
                                WS_CHILD | WS_CLIPSIBLINGS | visible | style, area.left, area.top,
                                area.right - area.left, area.bottom - area.top,
                                container_->Window(), nullptr, Ui().Instance(), nullptr);
  if (window == nullptr) throw Error(ErrorNumber::kOutOfMemory);
  AttachWindow(window);
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(Ui().Font()), FALSE);
  // Labels lie beneath the other widgets, which stack in the order they were added, so a label
  // that runs under a button never hides it.
  SetWindowPos(window, kind_ == WidgetKind::kLabel ? HWND_BOTTOM : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Win32Widget::AttachWindow(HWND window) {
  window_ = window;
  SetPropW(window, kWidgetProperty, this);
}

void Win32Widget::ApplyCaption() {
  if (window_ != nullptr) SetWindowTextW(window_, Widen(caption_).c_str());
}

void Win32Widget::ApplyVisible() {
  if (window_ != nullptr) ShowWindow(window_, visible_ ? SW_SHOWNA : SW_HIDE);
}

void Win32Widget::ApplyPosition() {
  if (window_ == nullptr) return;
  const RECT area = Ui().Scale().Rect(bounds_);
  SetWindowPos(window_, nullptr, area.left, area.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace veldrask::win32
