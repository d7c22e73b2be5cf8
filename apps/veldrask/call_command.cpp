// The call command: one member of the scripting interface by name.

#include "commands.h"
#include "member_call.h"

namespace veldrask::host {

void RunCall(ControlSession& session, const Options& options, std::ostream& out) {
  const Variant result =
      InvokeCall(session.Control(), ParseMemberCall(options.member, options.arguments));
  out << FormatResult(result) << std::flush;
}

}  // namespace veldrask::host
