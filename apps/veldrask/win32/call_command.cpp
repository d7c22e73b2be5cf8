// The call command on the control DLL: one member through its IDispatch by name.

#include "commands.h"
#include "member_call.h"
#include "variant_value.h"

namespace veldrask::host {

void RunCall(DllSession& session, const Options& options, std::ostream& out) {
  const MemberCall call = ParseMemberCall(options.member, options.arguments);
  container::MemberKind kind = container::MemberKind::kMethod;
  if (call.kind == MemberKind::kLet) kind = container::MemberKind::kPut;
  std::vector<std::string> arguments;
  for (const Variant& argument : call.arguments) arguments.push_back(argument.ToString());
  // A read goes as a script's "object.Name" does: a property, or a method without arguments.
  container::OwnedVariant result = session.Invoke(call.name, kind, arguments);
  out << FormatResult(ValueOf(result.Get())) << std::flush;
  session.ReportLocation();
}

}  // namespace veldrask::host
