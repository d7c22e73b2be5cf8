#pragma once

// The Windows headers in the one order that works for every unit of the backend: Winsock 2
// before <windows.h>, which would otherwise pull in the old Winsock 1 declarations.
// clang-format off
#include <winsock2.h>
#include <windows.h>
// clang-format on
