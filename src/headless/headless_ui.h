#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "headless/form.h"
#include "headless/recorder.h"
#include "platform/event_loop.h"
#include "platform/ui.h"

namespace veldrask::headless {

// A message box as it was shown.
struct MessageRecord {
  std::string text;
  MessageIcon icon = MessageIcon::kNone;
  std::optional<std::string> caption;  // none: the component's default title

  bool operator==(const MessageRecord&) const = default;
};

// The Ui kept in memory, for tests and the terminal host. It tracks the forms it created
// while they exist, records message boxes and folder requests, answers dialogs through
// providers that a test or host installs, and delivers user actions through the event loop
// as real ones arrive.
class HeadlessUi : public Ui {
 public:
  // Answers the file-open dialog: nullopt cancels, a string becomes the file name (see
  // SelectedFiles and SelectedFile).
  using FileOpenAnswer = std::function<std::optional<std::string>(const FileDialog& dialog)>;
  // Answers the folder browser: nullopt cancels.
  using FolderAnswer = std::function<std::optional<std::string>(std::string_view title)>;

  explicit HeadlessUi(EventLoop& loop);
  // Every form created here must be destroyed first.
  ~HeadlessUi() override = default;
  HeadlessUi(const HeadlessUi&) = delete;
  HeadlessUi& operator=(const HeadlessUi&) = delete;

  std::unique_ptr<Form> CreateForm(std::string name, std::string_view caption, Bounds clientSize,
                                   FormPlacement placement) override;
  std::unique_ptr<HeadlessForm> CreateHeadlessForm(std::string name, std::string_view caption,
                                                   Bounds clientSize, FormPlacement placement = {});
  // Records the message and tells the observer; returns at once.
  void ShowMessage(std::string_view text, MessageIcon icon,
                   std::optional<std::string_view> caption) override;
  // Records the title and asks the folder answer; "" without one or when it cancels.
  std::string BrowseForFolder(std::string_view title) override;

  EventLoop& Loop() const { return loop_; }
  // The event log and the observers; the three observer functions below are its own.
  UiRecorder& Recorder() { return recorder_; }
  ObserverId OnChange(std::string formName, std::string widgetName,
                      std::function<void(HeadlessWidget&)> fn) {
    return recorder_.OnChange(std::move(formName), std::move(widgetName), std::move(fn));
  }
  ObserverId OnFormShown(std::function<void(HeadlessForm&)> fn) {
    return recorder_.OnFormShown(std::move(fn));
  }
  bool RemoveObserver(ObserverId id) { return recorder_.RemoveObserver(id); }

  // The existing forms, in the order they were created.
  const std::vector<HeadlessForm*>& Forms() const { return forms_; }
  // The latest created form of that name (open or not), or null.
  HeadlessForm* FindForm(std::string_view name) const;
  // The latest created open form of that name, or null.
  HeadlessForm* FindOpenForm(std::string_view name) const;

  void SetFileOpenAnswer(FileOpenAnswer answer) { fileOpenAnswer_ = std::move(answer); }
  void SetFolderAnswer(FolderAnswer answer) { folderAnswer_ = std::move(answer); }
  void SetMessageObserver(std::function<void(const MessageRecord&)> observer) {
    messageObserver_ = std::move(observer);
  }
  const std::vector<MessageRecord>& Messages() const { return messages_; }
  const std::vector<std::string>& FolderRequests() const { return folderRequests_; }
  // What the installed answer gives for dialog; nullopt without one.
  std::optional<std::string> AnswerFileOpen(const FileDialog& dialog) const;

  // User actions delivered through the event loop, as a real user's arrive: when the task
  // runs it finds the open form of that name (std::logic_error when there is none) and acts
  // on it as the HeadlessForm member of the same name does.
  void PostToForm(std::string formName, std::function<void(HeadlessForm&)> action);
  void PostClick(std::string formName, std::string widgetName);
  void PostTickRow(std::string formName, std::string listName, std::int32_t row, bool ticked);
  void PostClickColumn(std::string formName, std::string listName, std::int32_t column);
  void PostSelectRows(std::string formName, std::string listName, std::vector<std::int32_t> rows);
  // The user closes the window: the form's Close.
  void PostUserClose(std::string formName);

 private:
  friend class HeadlessForm;
  void Register(HeadlessForm& form) { forms_.push_back(&form); }
  void Unregister(const HeadlessForm& form);

  EventLoop& loop_;
  UiRecorder recorder_;
  std::vector<HeadlessForm*> forms_;
  FileOpenAnswer fileOpenAnswer_;
  FolderAnswer folderAnswer_;
  std::function<void(const MessageRecord&)> messageObserver_;
  std::vector<MessageRecord> messages_;
  std::vector<std::string> folderRequests_;
};

}  // namespace veldrask::headless
