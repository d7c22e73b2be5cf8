#include "win32/ui/form.h"

#include <stdexcept>
#include <utility>

#include "base/error.h"
#include "win32/ui/button.h"
#include "win32/ui/choice_button.h"
#include "win32/ui/file_dialog.h"
#include "win32/ui/frame.h"
#include "win32/ui/image_list.h"
#include "win32/ui/label.h"
#include "win32/ui/list_view.h"
#include "win32/ui/picture_box.h"
#include "win32/ui/progress_bar.h"
#include "win32/ui/rectangle.h"
#include "win32/ui/win32_ui.h"
#include "win32/wide_text.h"

namespace veldrask::win32 {
namespace {

constexpr DWORD kTopLevelStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kTopLevelExtendedStyle = WS_EX_DLGMODALFRAME;

}  // namespace

Win32Form::Win32Form(Win32Ui& ui, std::string name, std::string_view caption, Bounds clientSize,
                     FormPlacement placement)
    : Win32Container(*this, WidgetKind::kForm, std::move(name), nullptr, caption,
                     Bounds{0, 0, clientSize.width, clientSize.height}),
      ui_(ui),
      placement_(placement) {
  RECT area{0, 0, ui.Scale().X(clientSize.width), ui.Scale().Y(clientSize.height)};
  AdjustWindowRectEx(&area, kTopLevelStyle, FALSE, kTopLevelExtendedStyle);
  HWND window =
      CreateWindowExW(kTopLevelExtendedStyle, kContainerClass, Widen(caption).c_str(),
                      kTopLevelStyle, CW_USEDEFAULT, CW_USEDEFAULT, area.right - area.left,
                      area.bottom - area.top, nullptr, nullptr, ui.Instance(), nullptr);
  if (window == nullptr) throw Error(ErrorNumber::kOutOfMemory);
  AttachWindow(window);
  if (placement_.kind == FormKind::kSurface) {
    ui.AddSurface(*this);
    Rehome();
  }
}

Win32Form::~Win32Form() {
  if (placement_.kind == FormKind::kSurface) ui_.RemoveSurface(*this);
  // A modal form released while it is up (its control going away) gives its owner back.
  ui_.PopModal(Window());
  ReleaseOwner();
  // Children go before their containers.
  while (!widgets_.empty()) widgets_.pop_back();
}

Widget& Win32Form::AddWidget(WidgetKind kind, std::string name, Widget* container,
                             std::string_view caption, Bounds bounds) {
  Win32Container& parent = ResolveContainer(container);
  CheckNewName(name);
  switch (kind) {
    case WidgetKind::kFrame:
      return Adopt(std::make_unique<Win32Frame>(*this, std::move(name), parent, caption, bounds));
    case WidgetKind::kLabel:
      return Adopt(std::make_unique<Win32Label>(*this, std::move(name), parent, caption, bounds));
    case WidgetKind::kButton:
      return Adopt(std::make_unique<Win32Button>(*this, std::move(name), parent, caption, bounds));
    case WidgetKind::kOptionButton:
    case WidgetKind::kCheckBox:
      return Adopt(std::make_unique<Win32ChoiceButton>(*this, kind, std::move(name), parent,
                                                       caption, bounds));
    case WidgetKind::kRectangle:
      return Adopt(std::make_unique<Win32Rectangle>(*this, std::move(name), parent, bounds));
    default:
      // The other kinds have their own Add functions.
      throw Error(ErrorNumber::kInvalidArgument);
  }
}

ListView& Win32Form::AddListView(std::string name, Widget* container, Bounds bounds) {
  Win32Container& parent = ResolveContainer(container);
  CheckNewName(name);
  return Adopt(std::make_unique<Win32ListView>(*this, std::move(name), parent, bounds));
}

ProgressBar& Win32Form::AddProgressBar(std::string name, Widget* container, Bounds bounds) {
  Win32Container& parent = ResolveContainer(container);
  CheckNewName(name);
  return Adopt(std::make_unique<Win32ProgressBar>(*this, std::move(name), parent, bounds));
}

PictureBox& Win32Form::AddPictureBox(std::string name, Widget* container, Bounds bounds) {
  Win32Container& parent = ResolveContainer(container);
  CheckNewName(name);
  return Adopt(std::make_unique<Win32PictureBox>(*this, std::move(name), parent, bounds));
}

ImageList& Win32Form::AddImageList(std::string name, std::int32_t imageSize) {
  CheckNewName(name);
  return Adopt(std::make_unique<Win32ImageList>(*this, std::move(name), *this, imageSize));
}

FileDialog& Win32Form::AddFileDialog(std::string name) {
  CheckNewName(name);
  return Adopt(std::make_unique<Win32FileDialog>(*this, std::move(name), *this));
}

Widget* Win32Form::Find(std::string_view name) const {
  const auto found = byName_.find(name);
  return found == byName_.end() ? nullptr : found->second;
}

void Win32Form::ShowModal() {
  if (state_.IsOpen()) throw std::logic_error(Name() + " is already open");
  HWND owner = ModalOwner();
  SetWindowLongPtrW(Window(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  PlaceOver(owner);
  // EnableWindow answers whether the owner was disabled already: then it stays so afterwards.
  if (owner != nullptr && !EnableWindow(owner, FALSE)) disabledOwner_ = owner;
  ui_.PushModal(Window());
  try {
    Open();
    state_.WaitWhileOpen(ui_.Loop(), [this] { Close(); });
  } catch (...) {
    ui_.PopModal(Window());
    ReleaseOwner();
    throw;
  }
  ui_.PopModal(Window());
  ReleaseOwner();
}

void Win32Form::Show() {
  if (!state_.IsOpen()) Open();
}

void Win32Form::Close() {
  state_.Close([this] {
    // The owner comes back first, so that it takes the activation when this window goes.
    ReleaseOwner();
    SetVisible(false);
  });
}

std::vector<Win32Widget*> Win32Form::WidgetsIn(const Win32Container* container) const {
  std::vector<Win32Widget*> inside;
  for (const std::unique_ptr<Win32Widget>& widget : widgets_) {
    if (widget->ContainerWidget() == container) inside.push_back(widget.get());
  }
  return inside;
}

template <typename T>
T& Win32Form::Adopt(std::unique_ptr<T> widget) {
  T& added = *widget;
  byName_.emplace(added.Name(), &added);
  widgets_.push_back(std::move(widget));
  return added;
}

Win32Container& Win32Form::ResolveContainer(Widget* container) {
  if (container == nullptr || container == static_cast<Widget*>(this)) return *this;
  for (const std::unique_ptr<Win32Widget>& widget : widgets_) {
    if (static_cast<Widget*>(widget.get()) == container &&
        (widget->Kind() == WidgetKind::kFrame || widget->Kind() == WidgetKind::kPictureBox)) {
      return static_cast<Win32Container&>(*widget);
    }
  }
  throw Error(ErrorNumber::kInvalidArgument);
}

void Win32Form::CheckNewName(const std::string& name) const {
  if (name.empty()) throw Error(ErrorNumber::kInvalidArgument);
  if (byName_.contains(name)) throw Error(ErrorNumber::kKeyNotUnique);
}

void Win32Form::Rehome() {
  HWND host = ui_.HostWindow();
  if (host == nullptr) {
    // Out of the container: a hidden window of its own until the next host.
    ShowWindow(Window(), SW_HIDE);
    SetParent(Window(), nullptr);
    SetWindowLongPtrW(Window(), GWL_STYLE, static_cast<LONG_PTR>(WS_POPUP | WS_CLIPCHILDREN));
    return;
  }
  EmbedIn(host);
  ApplyVisible();
}

void Win32Form::EmbedIn(HWND host) {
  HWND window = Window();
  SetWindowLongPtrW(window, GWL_STYLE,
                    static_cast<LONG_PTR>(WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS));
  SetWindowLongPtrW(window, GWL_EXSTYLE, 0);
  SetParent(window, host);
  const Bounds size = Position();
  SetWindowPos(window, nullptr, 0, 0, ui_.Scale().X(size.width), ui_.Scale().Y(size.height),
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

HWND Win32Form::ModalOwner() const {
  if (placement_.owner == nullptr) return nullptr;
  return GetAncestor(Win32Ui::WindowOf(*placement_.owner), GA_ROOT);
}

void Win32Form::PlaceOver(HWND owner) {
  RECT around;
  if (owner == nullptr || !GetWindowRect(owner, &around)) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
  }
  RECT own;
  GetWindowRect(Window(), &own);
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  const int left = around.left + (around.right - around.left - width) / 2;
  const int top = around.top + (around.bottom - around.top - height) / 2;
  SetWindowPos(Window(), nullptr, left > 0 ? left : 0, top > 0 ? top : 0, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Form::Open() {
  state_.Open([this] {
    SetVisible(true);
    UpdateWindow(Window());
  });
}

void Win32Form::ReleaseOwner() {
  if (disabledOwner_ == nullptr) return;
  EnableWindow(disabledOwner_, TRUE);
  disabledOwner_ = nullptr;
}

void Win32Form::ApplyVisible() {
  if (placement_.kind == FormKind::kSurface) {
    // A surface shows only inside its host.
    const bool shown = Visible() && ui_.HostWindow() != nullptr;
    ShowWindow(Window(), shown ? SW_SHOWNA : SW_HIDE);
    return;
  }
  ShowWindow(Window(), Visible() ? SW_SHOW : SW_HIDE);
}

}  // namespace veldrask::win32
