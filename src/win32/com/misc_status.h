#pragma once

#include "win32/com/win32_headers.h"

namespace veldrask::com {

// recompose-on-resize, cannot-link-inside, inside-out, activate-when-visible,
// set-client-site-first: registered and reported by IOleObject::GetMiscStatus alike.
constexpr DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                              OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                              OLEMISC_SETCLIENTSITEFIRST;

}  // namespace veldrask::com
