#include "win32/system_clock.h"

#include "win32/windows_api.h"

namespace veldrask::win32 {

std::uint32_t SystemClock::TickCount() {
  return GetTickCount();
}

}  // namespace veldrask::win32
