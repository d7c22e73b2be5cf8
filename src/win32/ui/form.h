#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/form_state.h"
#include "win32/ui/container.h"

namespace veldrask::win32 {

// A form: a window and the widgets in it, found by name. It starts as a hidden top-level
// window. The control's surface becomes a child of the Ui's host window and shows there once
// shown, and only while there is a host. A modal dialog shows as a top-level window owned by
// the top-level window that holds its owner form, disabled meanwhile, and waits in the event
// loop until the form closes; the close box, and the loop's ending, are the user's Close.
class Win32Form : public Win32Container, public Form {
 public:
  Win32Form(Win32Ui& ui, std::string name, std::string_view caption, Bounds clientSize,
            FormPlacement placement);
  ~Win32Form() override;

  // Names must be non-empty and unique within the form ("key not unique" otherwise); a
  // container must be the form, one of its frames or picture boxes, or null for the form.
  Widget& AddWidget(WidgetKind kind, std::string name, Widget* container, std::string_view caption,
                    Bounds bounds) override;
  ListView& AddListView(std::string name, Widget* container, Bounds bounds) override;
  ProgressBar& AddProgressBar(std::string name, Widget* container, Bounds bounds) override;
  PictureBox& AddPictureBox(std::string name, Widget* container, Bounds bounds) override;
  ImageList& AddImageList(std::string name, std::int32_t imageSize) override;
  FileDialog& AddFileDialog(std::string name) override;

  Widget* Find(std::string_view name) const override;

  // Raises std::logic_error when already open.
  void ShowModal() override;
  void Show() override;
  // The close handler runs first and once per opening; then the form is hidden (and its
  // owner enabled again).
  void Close() override;
  bool IsOpen() const override { return state_.IsOpen(); }

  void SetOnActivate(std::function<void()> handler) override {
    state_.SetOnActivate(std::move(handler));
  }
  void SetOnClose(std::function<void()> handler) override { state_.SetOnClose(std::move(handler)); }

  Win32Ui& OwnerUi() const { return ui_; }
  // The widgets whose container is container, in the order added.
  std::vector<Win32Widget*> WidgetsIn(const Win32Container* container) const;
  void OnCloseRequest() override { Close(); }
  // A surface follows the Ui's host window: embedded in it (shown when open), or out of it.
  void Rehome();

 private:
  template <typename T>
  T& Adopt(std::unique_ptr<T> widget);
  Win32Container& ResolveContainer(Widget* container);
  void CheckNewName(const std::string& name) const;
  void Open();
  void EmbedIn(HWND host);
  HWND ModalOwner() const;
  void PlaceOver(HWND owner);
  void ReleaseOwner();
  COLORREF BackgroundColor() const override { return GetSysColor(COLOR_BTNFACE); }
  void ApplyVisible() override;

  Win32Ui& ui_;
  FormPlacement placement_;
  std::vector<std::unique_ptr<Win32Widget>> widgets_;
  std::map<std::string, Win32Widget*, std::less<>> byName_;
  FormState state_;
  HWND disabledOwner_ = nullptr;
};

}  // namespace veldrask::win32
