#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/form_state.h"
#include "headless/file_dialog.h"
#include "headless/image_list.h"
#include "headless/list_view.h"
#include "headless/picture_box.h"
#include "headless/progress_bar.h"
#include "headless/widget.h"
#include "platform/ui.h"

namespace veldrask::headless {

// A form in memory. It owns its widgets and finds them by name; user actions run here
// directly (HeadlessUi posts them through the event loop). A widget name that does not exist
// or names another kind raises std::logic_error: that is a fault of the test or host.
class HeadlessForm : public HeadlessWidget, public Form {
 public:
  // Registers with ui, which must outlive the form; clientSize gives the width and height.
  // The placement is kept for tests to read; no window system acts on it here.
  HeadlessForm(HeadlessUi& ui, std::string name, std::string_view caption, Bounds clientSize,
               FormPlacement placement = {});
  ~HeadlessForm() override;

  // Names must be non-empty and unique within the form ("key not unique" otherwise); a
  // container must be the form, one of its frames or picture boxes, or null for the form.
  Widget& AddWidget(WidgetKind kind, std::string name, Widget* container, std::string_view caption,
                    Bounds bounds) override;
  ListView& AddListView(std::string name, Widget* container, Bounds bounds) override;
  ProgressBar& AddProgressBar(std::string name, Widget* container, Bounds bounds) override;
  PictureBox& AddPictureBox(std::string name, Widget* container, Bounds bounds) override;
  // imageSize is 16 or 32.
  ImageList& AddImageList(std::string name, std::int32_t imageSize) override;
  FileDialog& AddFileDialog(std::string name) override;

  Widget* Find(std::string_view name) const override;

  // Opens and shows the form, reports it shown, runs the activation handler, then waits in
  // the event loop until the form is closed. Raises std::logic_error when already open.
  void ShowModal() override;
  // Opens and shows the form and runs the activation handler, without waiting; an open form
  // stays as it is.
  void Show() override;
  // The close handler runs first and once per opening, also when Close is called again from
  // inside it or later; then the form is closed and hidden. Showing it again reopens it.
  void Close() override;
  bool IsOpen() const override { return state_.IsOpen(); }

  void SetOnActivate(std::function<void()> handler) override {
    state_.SetOnActivate(std::move(handler));
  }
  void SetOnClose(std::function<void()> handler) override { state_.SetOnClose(std::move(handler)); }

  const FormPlacement& Placement() const { return placement_; }

  // The widgets in the order they were added, for rendering.
  std::span<const std::unique_ptr<HeadlessWidget>> Widgets() const { return widgets_; }

  // The widget of that name as T (HeadlessWidget, HeadlessListView, ...).
  template <typename T = HeadlessWidget>
  T& Get(std::string_view name) const {
    HeadlessWidget& widget = Require(name);
    T* typed = dynamic_cast<T*>(&widget);
    if (typed == nullptr) ThrowWrongKind(widget);
    return *typed;
  }

  // The user's actions, run now.
  void Click(std::string_view widget) { Get(widget).UserClick(); }
  void TickRow(std::string_view list, std::int32_t row, bool ticked) {
    Get<HeadlessListView>(list).UserTick(row, ticked);
  }
  void ClickColumn(std::string_view list, std::int32_t column) {
    Get<HeadlessListView>(list).UserClickColumn(column);
  }
  void SelectRows(std::string_view list, const std::vector<std::int32_t>& rows) {
    Get<HeadlessListView>(list).UserSelectRows(rows);
  }

 private:
  template <typename T>
  T& Adopt(std::unique_ptr<T> widget);
  HeadlessWidget* ResolveContainer(Widget* container);
  void CheckNewName(const std::string& name) const;
  void Open();
  HeadlessWidget& Require(std::string_view name) const;
  [[noreturn]] void ThrowWrongKind(const HeadlessWidget& widget) const;

  FormPlacement placement_;
  std::vector<std::unique_ptr<HeadlessWidget>> widgets_;
  std::map<std::string, HeadlessWidget*, std::less<>> byName_;
  FormState state_;
};

}  // namespace veldrask::headless
