#pragma once

#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/event_loop.h"
#include "platform/file_system.h"
#include "platform/locale.h"
#include "platform/random.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/tcp_socket.h"
#include "platform/ui.h"

namespace veldrask {

// Everything the core needs of the operating system, injected at run time. The pieces are
// owned elsewhere (by a backend's platform object, or by a test).
struct Platform {
  EventLoop& loop;
  Network& network;
  FileSystem& files;
  Registry& registry;
  Shell& shell;
  Clock& clock;
  CodePage& ansi;
  Locale& locale;
  Random& random;
  Ui& ui;
};

}  // namespace veldrask
