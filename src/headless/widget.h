#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/ui.h"

namespace veldrask::headless {

class HeadlessForm;
class HeadlessUi;

// A readable name for a widget kind ("label", "option", "list", ...), as hosts print it.
std::string_view KindName(WidgetKind kind);

// A widget kept in memory: every property is readable, changes are reported to the Ui's
// event log and observers. Frames, labels, buttons, option buttons, check boxes and
// rectangles are plain HeadlessWidgets; the richer kinds derive from it.
class HeadlessWidget : public virtual Widget {
 public:
  // form owns the widget (a form passes itself); container is null for a form.
  HeadlessWidget(HeadlessUi& ui, HeadlessForm& form, WidgetKind kind, std::string name,
                 HeadlessWidget* container, std::string_view caption, Bounds bounds);
  HeadlessWidget(const HeadlessWidget&) = delete;
  HeadlessWidget& operator=(const HeadlessWidget&) = delete;

  const std::string& Name() const override { return name_; }
  WidgetKind Kind() const override { return kind_; }
  Widget* Container() const override { return container_; }

  bool Visible() const override { return visible_; }
  void SetVisible(bool visible) override;
  Bounds Position() const override { return bounds_; }
  void Move(std::int32_t left, std::int32_t top) override;

  const std::string& Caption() const override { return caption_; }
  void SetCaption(std::string_view caption) override;

  std::int32_t Value() const override { return value_; }
  // Check boxes take 0, 1 or 2 only; any other value raises "invalid argument".
  void SetValue(std::int32_t value) override;

  void SetOnClick(std::function<void()> handler) override { onClick_ = std::move(handler); }

  HeadlessForm& OwnerForm() const { return form_; }
  HeadlessWidget* ContainerWidget() const { return container_; }
  bool HasClickHandler() const { return static_cast<bool>(onClick_); }

  // The user clicks the widget: an option button becomes selected, a check box toggles
  // (ticked -> unticked, anything else -> ticked), then the click handler runs. A widget
  // the user cannot see (it or one of its frames is hidden) raises std::logic_error.
  void UserClick();

 protected:
  HeadlessUi& ui() const { return ui_; }
  // Stores a value that the kind's own checks accepted, reporting a change.
  void StoreValue(std::int32_t value);

 private:
  void SelectOption();

  HeadlessUi& ui_;
  HeadlessForm& form_;
  WidgetKind kind_;
  std::string name_;
  HeadlessWidget* container_;
  std::string caption_;
  Bounds bounds_;
  bool visible_;
  std::int32_t value_ = 0;
  std::function<void()> onClick_;
};

}  // namespace veldrask::headless
