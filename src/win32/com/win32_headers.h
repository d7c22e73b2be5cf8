#pragma once

// The Windows and COM headers, in the order they need: <windows.h> first.
// clang-format off
#include <windows.h>
#include <objidl.h>
#include <oaidl.h>
#include <oleauto.h>
#include <ole2.h>
#include <oleidl.h>
#include <ocidl.h>
#include <olectl.h>
// clang-format on
