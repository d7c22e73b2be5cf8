#pragma once

// A result that came through IDispatch as the core's own value, so both hosts print it alike.

#include <oaidl.h>

#include "base/variant.h"

namespace veldrask::host {

// Empty, a number, a boolean, a text, or an array of the control's file records (read field
// by field through their record information). Other kinds come as their text.
Variant ValueOf(const VARIANT& value);

}  // namespace veldrask::host
