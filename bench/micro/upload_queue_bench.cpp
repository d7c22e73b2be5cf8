// Adding files to the upload queue one add command at a time, as the command line does it:
// the duplicate check, the row and the counters per file. The sizes come from memory, so
// the figure is the queue's own cost; it should grow linearly with the count.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "control/uploader_control.h"
#include "headless/file_dialog.h"
#include "headless/headless_ui.h"
#include "memory_file_system.h"
#include "posix/gio_shell.h"
#include "posix/iconv_code_page.h"
#include "posix/network.h"
#include "posix/poll_event_loop.h"
#include "posix/posix_locale.h"
#include "posix/posix_random.h"
#include "posix/reg_file_registry.h"
#include "posix/system_clock.h"

namespace veldrask::bench {
namespace {

class NoHost : public Host {
 public:
  void PropertyChanged(std::string_view) override {}
  Document* HostDocument() override { return nullptr; }
};

void BM_AddFilesOneByOne(benchmark::State& state) {
  const auto fileCount = static_cast<std::size_t>(state.range(0));
  testing::MemoryFileSystem files{"/"};
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < fileCount; ++i) {
    paths.push_back("/home/kim/data/report-" + std::to_string(i) + ".pdf");
    files.ReportSize(paths.back(), 1000);
  }
  posix::PollEventLoop loop;
  posix::PosixNetwork network{loop};
  // Nothing is written: the queue reads no setting.
  posix::RegFileRegistry registry{"/nonexistent/veldrask-bench-registry"};
  posix::GioShell shell;
  posix::SystemClock clock;
  posix::IconvCodePage ansi("CP949");
  posix::PosixLocale locale;
  posix::PosixRandom random;
  headless::HeadlessUi ui(loop);
  Platform platform{loop, network, files, registry, shell, clock, ansi, locale, random, ui};
  NoHost host;
  for (auto _ : state) {
    UploaderControl control(platform, host);
    control.InitNew();
    control.SetMaxFileCount(32767);
    control.SetMaxFileSize(2047);
    headless::HeadlessForm& surface = *ui.FindForm("UploaderControl");
    for (const std::string& path : paths) {
      ui.SetFileOpenAnswer([&path](const FileDialog&) { return headless::SelectedFile(path); });
      surface.Click("cmdAdd");
    }
    if (control.CurrentFileCount() != static_cast<std::int16_t>(fileCount)) {
      state.SkipWithError("not every file was queued");
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AddFilesOneByOne)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(32767)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veldrask::bench
