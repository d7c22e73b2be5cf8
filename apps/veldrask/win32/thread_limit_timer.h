#pragma once

#include "limit_timer.h"

namespace veldrask::host {

// Timers of the calling thread (SetTimer without a window): the control's message loops on
// that thread dispatch them, the modal loops of its transfer windows included.
LimitTimerMaker ThreadTimers();

}  // namespace veldrask::host
