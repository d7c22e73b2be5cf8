// The upload command: what a user and the page's script do on the upload screen.

#include <filesystem>
#include <string>
#include <vector>

#include "base/text.h"
#include "commands.h"
#include "file_selection.h"

namespace veldrask::host {
namespace {

std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t offset = 0; offset < text.size(); ++count) NextCodePoint(text, offset);
  return count;
}

}  // namespace

void RunUpload(ControlSession& session, const Options& options, std::ostream& out) {
  UploaderControl& control = session.Control();
  headless::HeadlessForm& surface = session.Surface();

  std::string selection;
  if (!options.files.empty()) {
    const std::filesystem::path workingFolder = std::filesystem::current_path();
    std::vector<std::string> paths;
    for (const std::string& file : options.files) paths.push_back(UploadPath(file, workingFolder));
    selection = DialogSelection(paths);
    // The dialog's buffer holds MaxFileSize characters; a longer choice fails in the dialog.
    const std::int32_t room = control.Surface().comOpen.MaxFileSize();
    if (CharacterCount(selection) > static_cast<std::size_t>(room)) {
      throw UsageError("upload: the chosen names take more than the " + ToDecimal(room) +
                       " characters the file dialog holds; choose fewer files at a time or run "
                       "from their folder");
    }
  }

  // The page's script shows the upload screen and lists the files already on the server.
  if (control.UpDownload() != "0") control.SetUpDownload("0");
  for (const NamedSize& file : options.uploaded) control.AddUploadedFile(file.name, file.size);

  if (!selection.empty()) {
    session.Ui().SetFileOpenAnswer([selection](const FileDialog&) { return selection; });
    surface.Click("cmdAdd");
    session.Ui().SetFileOpenAnswer(nullptr);
  }

  for (const auto& [name, value] : options.fields) control.AddPostData(name, value);
  if (session.Interrupted()) return;
  const std::string reply = control.Submit();
  out.write(reply.data(), static_cast<std::streamsize>(reply.size()));
  out.flush();
}

}  // namespace veldrask::host
