// Defines the identifiers of the type library (class, interfaces, library) once.

// clang-format off
#include <windows.h>
#include <initguid.h>
#include "veldrask_uploader.h"
// clang-format on
