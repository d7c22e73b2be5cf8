#include "headless/headless_ui.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace veldrask::headless {

HeadlessUi::HeadlessUi(EventLoop& loop) : loop_(loop) {}

std::unique_ptr<Form> HeadlessUi::CreateForm(std::string name, std::string_view caption,
                                             Bounds clientSize, FormPlacement placement) {
  return CreateHeadlessForm(std::move(name), caption, clientSize, placement);
}

std::unique_ptr<HeadlessForm> HeadlessUi::CreateHeadlessForm(std::string name,
                                                             std::string_view caption,
                                                             Bounds clientSize,
                                                             FormPlacement placement) {
  return std::make_unique<HeadlessForm>(*this, std::move(name), caption, clientSize, placement);
}

void HeadlessUi::ShowMessage(std::string_view text, MessageIcon icon,
                             std::optional<std::string_view> caption) {
  MessageRecord record{std::string(text), icon, std::nullopt};
  if (caption) record.caption = std::string(*caption);
  messages_.push_back(std::move(record));
  if (messageObserver_) messageObserver_(messages_.back());
}

std::string HeadlessUi::BrowseForFolder(std::string_view title) {
  folderRequests_.emplace_back(title);
  if (!folderAnswer_) return "";
  return folderAnswer_(title).value_or("");
}

HeadlessForm* HeadlessUi::FindForm(std::string_view name) const {
  const auto found = std::find_if(forms_.rbegin(), forms_.rend(), [name](const HeadlessForm* form) {
    return form->Name() == name;
  });
  return found == forms_.rend() ? nullptr : *found;
}

HeadlessForm* HeadlessUi::FindOpenForm(std::string_view name) const {
  const auto found = std::find_if(forms_.rbegin(), forms_.rend(), [name](const HeadlessForm* form) {
    return form->IsOpen() && form->Name() == name;
  });
  return found == forms_.rend() ? nullptr : *found;
}

std::optional<std::string> HeadlessUi::AnswerFileOpen(const FileDialog& dialog) const {
  if (!fileOpenAnswer_) return std::nullopt;
  return fileOpenAnswer_(dialog);
}

void HeadlessUi::PostToForm(std::string formName, std::function<void(HeadlessForm&)> action) {
  loop_.Post([this, formName = std::move(formName), action = std::move(action)] {
    HeadlessForm* form = FindOpenForm(formName);
    if (form == nullptr) throw std::logic_error("no open form named " + formName);
    action(*form);
  });
}

void HeadlessUi::PostClick(std::string formName, std::string widgetName) {
  PostToForm(std::move(formName),
             [widgetName = std::move(widgetName)](HeadlessForm& form) { form.Click(widgetName); });
}

void HeadlessUi::PostTickRow(std::string formName, std::string listName, std::int32_t row,
                             bool ticked) {
  PostToForm(std::move(formName), [listName = std::move(listName), row, ticked](
                                      HeadlessForm& form) { form.TickRow(listName, row, ticked); });
}

void HeadlessUi::PostClickColumn(std::string formName, std::string listName, std::int32_t column) {
  PostToForm(std::move(formName), [listName = std::move(listName), column](HeadlessForm& form) {
    form.ClickColumn(listName, column);
  });
}

void HeadlessUi::PostSelectRows(std::string formName, std::string listName,
                                std::vector<std::int32_t> rows) {
  PostToForm(std::move(formName), [listName = std::move(listName), rows = std::move(rows)](
                                      HeadlessForm& form) { form.SelectRows(listName, rows); });
}

void HeadlessUi::PostUserClose(std::string formName) {
  PostToForm(std::move(formName), [](HeadlessForm& form) { form.Close(); });
}

void HeadlessUi::Unregister(const HeadlessForm& form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), &form), forms_.end());
}

}  // namespace veldrask::headless
