#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/variant.h"
#include "control/member_table.h"

namespace veldrask {
class UploaderControl;
}

namespace veldrask::host {

// `call MEMBER [ARG]...` as the script of a page would write it: MEMBER=VALUE assigns a
// property, MEMBER alone reads a property (or calls a method that takes nothing), MEMBER with
// arguments calls a method.
struct MemberCall {
  std::string name;
  MemberKind kind = MemberKind::kMethod;
  std::vector<Variant> arguments;
};

// Raises UsageError for an assignment with further arguments or an empty member name.
MemberCall ParseMemberCall(const std::string& member, const std::vector<std::string>& arguments);

// Invokes the call through the member table; a read of a name that is no property falls back
// to the method of that name. Raises the control's Error (438 for an unknown member).
Variant InvokeCall(UploaderControl& control, MemberCall call);

// A result as printed: nothing for none, a value on one line, an array of files one entry a
// line with its fields (key, name, size, part head) separated by tabs; a backslash, tab, CR
// or LF inside a field is written \\, \t, \r or \n so each entry stays on its line.
std::string FormatResult(const Variant& result);

}  // namespace veldrask::host
