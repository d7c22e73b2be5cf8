#include "headless/file_dialog.h"

#include <optional>
#include <utility>

#include "headless/form.h"
#include "headless/headless_ui.h"

namespace veldrask::headless {

HeadlessFileDialog::HeadlessFileDialog(HeadlessUi& ui, HeadlessForm& form, std::string name)
    : HeadlessWidget(ui, form, WidgetKind::kFileDialog, std::move(name),
                     &static_cast<HeadlessWidget&>(form), "", Bounds{}) {}

void HeadlessFileDialog::ShowOpen() {
  ++showCount_;
  std::optional<std::string> answer = ui().AnswerFileOpen(*this);
  if (answer) fileName_ = std::move(*answer);
}

std::string SelectedFiles(std::string_view folder, const std::vector<std::string>& names) {
  std::string selection(folder);
  for (const std::string& name : names) {
    selection.push_back('\0');
    selection += name;
  }
  return selection;
}

std::string SelectedFile(std::string_view path) {
  return std::string(path);
}

}  // namespace veldrask::headless
