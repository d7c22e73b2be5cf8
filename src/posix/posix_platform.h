#pragma once

#include "platform/platform.h"
#include "posix/gio_shell.h"
#include "posix/iconv_code_page.h"
#include "posix/network.h"
#include "posix/poll_event_loop.h"
#include "posix/posix_file_system.h"
#include "posix/posix_locale.h"
#include "posix/posix_random.h"
#include "posix/reg_file_registry.h"
#include "posix/system_clock.h"

namespace veldrask::posix {

// Every POSIX piece of the platform, owned in one place. The user interface comes from the
// host (the headless one for the terminal), so the pieces are bound to it with Bind.
class PosixPlatform {
 public:
  PosixPlatform() = default;
  PosixPlatform(const PosixPlatform&) = delete;
  PosixPlatform& operator=(const PosixPlatform&) = delete;

  PollEventLoop& Loop() { return loop_; }
  RegFileRegistry& Registry() { return registry_; }
  PosixNetwork& Networking() { return network_; }
  Platform Bind(Ui& ui) {
    return Platform{loop_,  network_, files_,  registry_, shell_,
                    clock_, ansi_,    locale_, random_,   ui};
  }

 private:
  PollEventLoop loop_;
  PosixNetwork network_{loop_};
  PosixFileSystem files_;
  RegFileRegistry registry_;
  GioShell shell_;
  SystemClock clock_;
  IconvCodePage ansi_;
  PosixLocale locale_;
  PosixRandom random_;
};

}  // namespace veldrask::posix
