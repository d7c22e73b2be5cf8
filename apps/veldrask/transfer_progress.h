#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "console.h"
#include "headless/form.h"
#include "headless/list_view.h"
#include "headless/observer_list.h"
#include "host_ui.h"
#include "platform/clock.h"

namespace veldrask::host {

// The names of the control's two progress windows.
inline constexpr std::string_view kUploadWindow = "frmProcess";
inline constexpr std::string_view kDownloadWindow = "frmDNProcess";
bool IsTransferWindow(std::string_view formName);

// Draws one open transfer window on the console. On a terminal its labels and bars form a
// live block, redrawn at most every kRedrawMs however often they change; elsewhere only the
// finished rows are printed. Finished rows ("완료", "실패") are printed once each, in list
// order, at the first change of the window after they finished.
class TransferProgress {
 public:
  static constexpr std::int32_t kRedrawMs = 100;

  TransferProgress(HostUi& ui, headless::HeadlessForm& form, Console& console, Clock& clock);
  ~TransferProgress();
  TransferProgress(const TransferProgress&) = delete;
  TransferProgress& operator=(const TransferProgress&) = delete;

  const headless::HeadlessForm& Window() const { return form_; }

  // A label or bar changed: prints the rows finished meanwhile, and redraws the block when
  // the last drawing is old enough.
  void Changed();
  // Prints the rows that have finished since the last report.
  void ReportFinishedRows();
  // The window has closed: the last state is drawn and stays on screen.
  void Finish();

  // The live block for the window's current texts, fitted to columns.
  std::vector<std::string> LiveLines(std::size_t columns) const;

 private:
  std::string Text(std::string_view widget) const;
  std::string Bar(std::string_view widget, std::size_t width) const;
  void Draw();
  // The lines of the rows finished since the last call.
  std::string TakeFinishedRows();

  HostUi& ui_;
  headless::HeadlessForm& form_;
  Console& console_;
  Clock& clock_;
  const headless::HeadlessListView* list_ = nullptr;
  std::vector<headless::ObserverId> observers_;
  std::int32_t nextRow_ = 1;  // the first row not yet reported finished
  std::uint32_t lastDraw_ = 0;
};

// Follows the transfer windows the control opens: each gets a TransferProgress while open.
class ProgressReporter {
 public:
  ProgressReporter(HostUi& ui, Console& console, Clock& clock) noexcept
      : ui_(ui), console_(console), clock_(clock) {}

  void WindowShown(headless::HeadlessForm& form);
  void WindowEnded(const headless::HeadlessForm& form);
  // Before a message: the rows finished so far come first.
  void ReportFinishedRows();

 private:
  HostUi& ui_;
  Console& console_;
  Clock& clock_;
  std::unique_ptr<TransferProgress> current_;
};

}  // namespace veldrask::host
