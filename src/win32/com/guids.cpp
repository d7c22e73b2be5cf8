// Defines the identifiers of the type library (class, interfaces, library) once.

#include <initguid.h>
#include <windows.h>

#include "veldrask_uploader.h"
