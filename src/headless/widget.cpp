#include "headless/widget.h"

#include <memory>
#include <stdexcept>
#include <utility>

#include "base/error.h"
#include "common/form_state.h"
#include "headless/form.h"
#include "headless/headless_ui.h"

namespace veldrask::headless {

std::string_view KindName(WidgetKind kind) {
  switch (kind) {
    case WidgetKind::kForm:
      return "form";
    case WidgetKind::kFrame:
      return "frame";
    case WidgetKind::kLabel:
      return "label";
    case WidgetKind::kButton:
      return "button";
    case WidgetKind::kOptionButton:
      return "option";
    case WidgetKind::kCheckBox:
      return "check";
    case WidgetKind::kRectangle:
      return "rectangle";
    case WidgetKind::kPictureBox:
      return "picture";
    case WidgetKind::kProgressBar:
      return "progress";
    case WidgetKind::kListView:
      return "list";
    case WidgetKind::kImageList:
      return "images";
    case WidgetKind::kFileDialog:
      return "filedialog";
  }
  return "widget";
}

HeadlessWidget::HeadlessWidget(HeadlessUi& ui, HeadlessForm& form, WidgetKind kind,
                               std::string name, HeadlessWidget* container,
                               std::string_view caption, Bounds bounds)
    : ui_(ui),
      form_(form),
      kind_(kind),
      name_(std::move(name)),
      container_(container),
      caption_(caption),
      bounds_(bounds),
      visible_(StartsVisible(kind)) {}

void HeadlessWidget::SetVisible(bool visible) {
  visible_ = visible;
  ui_.Recorder().VisibilitySet(*this);
}

void HeadlessWidget::Move(std::int32_t left, std::int32_t top) {
  bounds_.left = left;
  bounds_.top = top;
  ui_.Recorder().Moved(*this);
}

void HeadlessWidget::SetCaption(std::string_view caption) {
  // Labels change per transferred block: an unchanged text costs a comparison only, and
  // assign() reuses the buffer.
  if (caption_ == caption) return;
  caption_.assign(caption);
  ui_.Recorder().CaptionChanged(*this);
}

void HeadlessWidget::SetValue(std::int32_t value) {
  switch (kind_) {
    case WidgetKind::kCheckBox:
      if (value < 0 || value > 2) throw Error(ErrorNumber::kInvalidArgument);
      StoreValue(value);
      return;
    case WidgetKind::kOptionButton:
      if (value != 0) {
        SelectOption();
      } else {
        StoreValue(0);
      }
      return;
    default:
      StoreValue(value);
  }
}

void HeadlessWidget::StoreValue(std::int32_t value) {
  if (value_ == value) return;
  value_ = value;
  ui_.Recorder().ValueChanged(*this);
}

void HeadlessWidget::SelectOption() {
  for (const std::unique_ptr<HeadlessWidget>& other : form_.Widgets()) {
    if (other.get() != this && other->kind_ == WidgetKind::kOptionButton &&
        other->container_ == container_) {
      other->StoreValue(0);
    }
  }
  StoreValue(1);
}

void HeadlessWidget::UserClick() {
  for (const HeadlessWidget* part = this; part != nullptr && part->kind_ != WidgetKind::kForm;
       part = part->container_) {
    if (!part->visible_) {
      throw std::logic_error("cannot click " + name_ + ": " + part->name_ + " is hidden");
    }
  }
  if (kind_ == WidgetKind::kOptionButton) SelectOption();
  if (kind_ == WidgetKind::kCheckBox) StoreValue(value_ == 1 ? 0 : 1);
  if (onClick_) onClick_();
}

}  // namespace veldrask::headless
