#include "headless/recorder.h"

#include <utility>

#include "base/text.h"
#include "headless/form.h"
#include "headless/widget.h"

namespace veldrask::headless {

void UiRecorder::StartLog(LogDetail detail) {
  logLayout_ = true;
  logTexts_ = detail == LogDetail::kLayoutAndTexts;
}

void UiRecorder::StopLog() {
  logLayout_ = false;
  logTexts_ = false;
}

ObserverId UiRecorder::OnChange(std::string formName, std::string widgetName,
                                std::function<void(HeadlessWidget&)> fn) {
  const ObserverId id = nextId_++;
  changeObservers_.Add(id, [formName = std::move(formName), widgetName = std::move(widgetName),
                            fn = std::move(fn)](HeadlessWidget& widget) {
    if (widget.Name() == widgetName && widget.OwnerForm().Name() == formName) fn(widget);
  });
  return id;
}

ObserverId UiRecorder::OnFormShown(std::function<void(HeadlessForm&)> fn) {
  const ObserverId id = nextId_++;
  formObservers_.Add(id, std::move(fn));
  return id;
}

bool UiRecorder::RemoveObserver(ObserverId id) {
  return changeObservers_.Remove(id) || formObservers_.Remove(id);
}

void UiRecorder::VisibilitySet(const HeadlessWidget& widget) {
  if (logLayout_) log_.push_back((widget.Visible() ? "show " : "hide ") + widget.Name());
}

void UiRecorder::Moved(const HeadlessWidget& widget) {
  if (!logLayout_) return;
  const Bounds bounds = widget.Position();
  log_.push_back("move " + widget.Name() + " " + ToDecimal(bounds.left) + " " +
                 ToDecimal(bounds.top));
}

void UiRecorder::ReportCaption(HeadlessWidget& widget) {
  if (logTexts_) log_.push_back("caption " + widget.Name() + " " + widget.Caption());
  changeObservers_.Notify(widget);
}

void UiRecorder::ReportValue(HeadlessWidget& widget) {
  if (logTexts_) log_.push_back("value " + widget.Name() + " " + ToDecimal(widget.Value()));
  changeObservers_.Notify(widget);
}

}  // namespace veldrask::headless
