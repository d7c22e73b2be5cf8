#pragma once

// The control's scripting interface by name: every public member with its kind, its
// parameters and their types, in the order of the control's type library, so that a host
// can call any member by name with the scripting host's conversions.

#include <span>
#include <string_view>
#include <vector>

#include "base/variant.h"

namespace veldrask {

class UploaderControl;

enum class MemberKind { kMethod, kGet, kLet };
enum class ValueType { kNone, kString, kInt16, kInt32, kBool, kFileArray };

struct Parameter {
  std::string_view name;
  ValueType type;
  bool byReference = false;
};

struct Member {
  std::string_view name;
  MemberKind kind;
  std::vector<Parameter> parameters;
  ValueType result;
  // Called with the arguments already converted to the parameters' types.
  Variant (*invoke)(UploaderControl& control, std::span<Variant> arguments);
};

// Every member, in the type library's order.
const std::vector<Member>& MemberTable();

// The member of that name (letter case ignored, as scripts call them) and kind; null when
// there is none.
const Member* FindMember(std::string_view name, MemberKind kind);

// Calls a member by name: converts each argument to its parameter's type (overflow and type
// mismatch as the scripting host raises them), calls it and returns its result. Arguments
// passed by reference are written back. Raises 438 for an unknown member, 449 for a missing
// argument and 450 for too many.
Variant InvokeMember(UploaderControl& control, std::string_view name, MemberKind kind,
                     std::vector<Variant>& arguments);

}  // namespace veldrask
