#pragma once

#include "limit_timer.h"
#include "posix/poll_event_loop.h"

namespace veldrask::host {

// Timers on timerfds that loop watches.
LimitTimerMaker PollLoopTimers(posix::PollEventLoop& loop);

}  // namespace veldrask::host
