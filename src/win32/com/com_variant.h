#pragma once

// VARIANT ↔ the core's Variant. Arguments keep their own type (the member table converts
// them as a scripting host does); results take the member's declared type.

#include "base/variant.h"
#include "control/member_table.h"
#include "win32/com/win32_headers.h"

namespace veldrask::com {

// Raises the type-mismatch error for what a script cannot pass (arrays, Null, objects
// without a default value), and 449 for a missing optional argument.
Variant FromComVariant(const VARIANT& value);

// Writes value as type into result (which must be empty). fileType is the type information
// of the ATTACHEDFILE record for file arrays.
void ToComVariant(const Variant& value, ValueType type, ITypeInfo* fileType, VARIANT& result);

// Stores text into an argument passed by reference; arguments passed by value are left.
void WriteBackText(const Variant& value, VARIANT& argument);

}  // namespace veldrask::com
