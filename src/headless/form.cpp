#include "headless/form.h"

#include <stdexcept>
#include <utility>

#include "base/error.h"
#include "headless/headless_ui.h"

namespace veldrask::headless {

HeadlessForm::HeadlessForm(HeadlessUi& ui, std::string name, std::string_view caption,
                           Bounds clientSize, FormPlacement placement)
    : HeadlessWidget(ui, *this, WidgetKind::kForm, std::move(name), nullptr, caption,
                     Bounds{0, 0, clientSize.width, clientSize.height}),
      placement_(placement) {
  ui.Register(*this);
}

HeadlessForm::~HeadlessForm() {
  ui().Unregister(*this);
}

Widget& HeadlessForm::AddWidget(WidgetKind kind, std::string name, Widget* container,
                                std::string_view caption, Bounds bounds) {
  switch (kind) {
    case WidgetKind::kFrame:
    case WidgetKind::kLabel:
    case WidgetKind::kButton:
    case WidgetKind::kOptionButton:
    case WidgetKind::kCheckBox:
    case WidgetKind::kRectangle:
      break;
    default:
      // The other kinds have their own Add functions.
      throw Error(ErrorNumber::kInvalidArgument);
  }
  HeadlessWidget* parent = ResolveContainer(container);
  CheckNewName(name);
  return Adopt(std::make_unique<HeadlessWidget>(ui(), *this, kind, std::move(name), parent, caption,
                                                bounds));
}

ListView& HeadlessForm::AddListView(std::string name, Widget* container, Bounds bounds) {
  HeadlessWidget* parent = ResolveContainer(container);
  CheckNewName(name);
  return Adopt(std::make_unique<HeadlessListView>(ui(), *this, std::move(name), parent, bounds));
}

ProgressBar& HeadlessForm::AddProgressBar(std::string name, Widget* container, Bounds bounds) {
  HeadlessWidget* parent = ResolveContainer(container);
  CheckNewName(name);
  return Adopt(std::make_unique<HeadlessProgressBar>(ui(), *this, std::move(name), parent, bounds));
}

PictureBox& HeadlessForm::AddPictureBox(std::string name, Widget* container, Bounds bounds) {
  HeadlessWidget* parent = ResolveContainer(container);
  CheckNewName(name);
  return Adopt(std::make_unique<HeadlessPictureBox>(ui(), *this, std::move(name), parent, bounds));
}

ImageList& HeadlessForm::AddImageList(std::string name, std::int32_t imageSize) {
  CheckNewName(name);
  return Adopt(std::make_unique<HeadlessImageList>(ui(), *this, std::move(name), imageSize));
}

FileDialog& HeadlessForm::AddFileDialog(std::string name) {
  CheckNewName(name);
  return Adopt(std::make_unique<HeadlessFileDialog>(ui(), *this, std::move(name)));
}

Widget* HeadlessForm::Find(std::string_view name) const {
  const auto found = byName_.find(name);
  return found == byName_.end() ? nullptr : found->second;
}

void HeadlessForm::ShowModal() {
  if (state_.IsOpen()) throw std::logic_error(Name() + " is already open");
  Open();
  state_.WaitWhileOpen(ui().Loop(), [this] { Close(); });
}

void HeadlessForm::Show() {
  if (!state_.IsOpen()) Open();
}

void HeadlessForm::Close() {
  state_.Close([this] { SetVisible(false); });
}

template <typename T>
T& HeadlessForm::Adopt(std::unique_ptr<T> widget) {
  T& added = *widget;
  byName_.emplace(added.Name(), &added);
  widgets_.push_back(std::move(widget));
  return added;
}

HeadlessWidget* HeadlessForm::ResolveContainer(Widget* container) {
  if (container == nullptr || container == static_cast<Widget*>(this)) return this;
  for (const std::unique_ptr<HeadlessWidget>& widget : widgets_) {
    if (static_cast<Widget*>(widget.get()) == container &&
        (widget->Kind() == WidgetKind::kFrame || widget->Kind() == WidgetKind::kPictureBox)) {
      return widget.get();
    }
  }
  throw Error(ErrorNumber::kInvalidArgument);
}

void HeadlessForm::CheckNewName(const std::string& name) const {
  if (name.empty()) throw Error(ErrorNumber::kInvalidArgument);
  if (byName_.contains(name)) throw Error(ErrorNumber::kKeyNotUnique);
}

void HeadlessForm::Open() {
  state_.Open([this] {
    SetVisible(true);
    ui().Recorder().FormShown(*this);
  });
}

HeadlessWidget& HeadlessForm::Require(std::string_view name) const {
  const auto found = byName_.find(name);
  if (found == byName_.end()) {
    throw std::logic_error(Name() + " has no widget named " + std::string(name));
  }
  return *found->second;
}

void HeadlessForm::ThrowWrongKind(const HeadlessWidget& widget) const {
  throw std::logic_error(widget.Name() + " of " + Name() + " is a " +
                         std::string(KindName(widget.Kind())));
}

}  // namespace veldrask::headless
