#pragma once

#include <functional>
#include <string>
#include <vector>

#include "headless/observer_list.h"

namespace veldrask::headless {

class HeadlessForm;
class HeadlessWidget;

enum class LogDetail {
  kLayout,          // shows, hides and moves
  kLayoutAndTexts,  // also every caption and value change
};

// What the widgets report: an optional event log of the operations in the order they
// happened ("show lblName", "hide UploadFileList", "move cmdOk 120 240", "caption lblName
// text", "value prgBar 40") and the observers that let a test act at a chosen moment.
// Reporting costs one test when nothing logs or observes.
class UiRecorder {
 public:
  void StartLog(LogDetail detail = LogDetail::kLayout);
  // Stops recording; the entries stay readable.
  void StopLog();
  void ClearLog() { log_.clear(); }
  const std::vector<std::string>& Log() const { return log_; }

  // fn runs after each caption or value change of that widget of every form of that name.
  ObserverId OnChange(std::string formName, std::string widgetName,
                      std::function<void(HeadlessWidget&)> fn);
  // fn runs when a form has been shown, before its activation handler.
  ObserverId OnFormShown(std::function<void(HeadlessForm&)> fn);
  // False when no observer has that id (any longer).
  bool RemoveObserver(ObserverId id);

  // Reports from the widgets.
  void VisibilitySet(const HeadlessWidget& widget);
  void Moved(const HeadlessWidget& widget);
  void CaptionChanged(HeadlessWidget& widget) {
    if (logTexts_ || !changeObservers_.Empty()) ReportCaption(widget);
  }
  void ValueChanged(HeadlessWidget& widget) {
    if (logTexts_ || !changeObservers_.Empty()) ReportValue(widget);
  }
  void FormShown(HeadlessForm& form) { formObservers_.Notify(form); }

 private:
  void ReportCaption(HeadlessWidget& widget);
  void ReportValue(HeadlessWidget& widget);

  bool logLayout_ = false;
  bool logTexts_ = false;
  std::vector<std::string> log_;
  ObserverId nextId_ = 1;
  ObserverList<HeadlessWidget&> changeObservers_;
  ObserverList<HeadlessForm&> formObservers_;
};

}  // namespace veldrask::headless
