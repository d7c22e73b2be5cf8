#pragma once

#include "platform/platform.h"
#include "win32/message_event_loop.h"
#include "win32/network.h"
#include "win32/system_clock.h"
#include "win32/win32_code_page.h"
#include "win32/win32_file_system.h"
#include "win32/win32_locale.h"
#include "win32/win32_random.h"
#include "win32/win32_registry.h"
#include "win32/win32_shell.h"

namespace veldrask::win32 {

// Every Win32 piece of the platform, owned in one place, on the thread that creates it (the
// loop is that thread's message queue). The user interface comes from the host, so the pieces
// are bound to it with Bind; a Win32 Ui pumps through Loop().
class Win32Platform {
 public:
  Win32Platform() = default;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  MessageEventLoop& Loop() { return loop_; }
  Win32Network& Networking() { return network_; }
  Platform Bind(Ui& ui) {
    return Platform{loop_,  network_, files_,  registry_, shell_,
                    clock_, ansi_,    locale_, random_,   ui};
  }

 private:
  MessageEventLoop loop_;
  Win32Network network_{loop_};
  Win32FileSystem files_;
  Win32Registry registry_;
  Win32Shell shell_;
  SystemClock clock_;
  Win32CodePage ansi_{949};
  Win32Locale locale_;
  Win32Random random_;
};

}  // namespace veldrask::win32
