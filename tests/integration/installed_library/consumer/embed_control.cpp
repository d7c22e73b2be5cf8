// embed_control HOST PORT FILE: uploads FILE to http://HOST:PORT/upload with the control on
// the POSIX platform and the headless user interface, as a page's user and script would. Prints
// the control's URL encoding of a Korean name, the reply's status line and the reply.
#include <veldrask/control/uploader_control.h>
#include <veldrask/headless/file_dialog.h>
#include <veldrask/headless/headless_ui.h>
#include <veldrask/posix/posix_platform.h>

#include <cstdint>
#include <iostream>
#include <string>

namespace {

// The page around the control: no cookie, and navigation only remembered.
class Page : public veldrask::Host, public veldrask::Document {
 public:
  void PropertyChanged(std::string_view) override {}
  veldrask::Document* HostDocument() override { return this; }
  std::string Cookie() override { return ""; }
  void SetLocation(const std::string& url) override { location = url; }

  std::string location;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: embed_control HOST PORT FILE\n";
    return 2;
  }
  veldrask::posix::PosixPlatform posix;
  veldrask::headless::HeadlessUi ui(posix.Loop());
  veldrask::Platform platform = posix.Bind(ui);
  Page page;
  veldrask::UploaderControl control(platform, page);
  control.InitNew();
  control.SetHostName(argv[1]);
  control.SetServerPort(static_cast<std::int16_t>(std::stoi(argv[2])));
  control.SetActionURL("/upload");
  control.SetReturnURL("/done");

  // The user presses the add button and picks the file in the open dialog.
  const std::string file = argv[3];
  ui.SetFileOpenAnswer([&](const veldrask::FileDialog&) {
    return std::optional<std::string>(veldrask::headless::SelectedFile(file));
  });
  ui.FindForm("UploaderControl")->Click("cmdAdd");

  const std::string reply = control.Submit();
  for (const veldrask::headless::MessageRecord& message : ui.Messages()) {
    std::cerr << message.text << '\n';
  }
  std::cout << control.URLEncode("보고서 1.txt") << '\n'
            << control.HTTPResponseStatus() << '\n'
            << page.location << '\n'
            << reply << '\n';
  return ui.Messages().empty() && control.CurrentFileCount() == 1 ? 0 : 1;
}
