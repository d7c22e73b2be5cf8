#include "member_call.h"

#include "base/text.h"
#include "options.h"

namespace veldrask::host {
namespace {

std::string EscapeField(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '\\':
        escaped += "\\\\";
        break;
      case '\t':
        escaped += "\\t";
        break;
      case '\r':
        escaped += "\\r";
        break;
      case '\n':
        escaped += "\\n";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

}  // namespace

MemberCall ParseMemberCall(const std::string& member, const std::vector<std::string>& arguments) {
  MemberCall call;
  const std::size_t equals = member.find('=');
  if (equals != std::string::npos) {
    if (!arguments.empty()) {
      throw UsageError("call: " + member + " assigns a property and takes no further ARG");
    }
    call.name = member.substr(0, equals);
    call.kind = MemberKind::kLet;
    call.arguments.emplace_back(member.substr(equals + 1));
  } else {
    call.name = member;
    call.kind = arguments.empty() ? MemberKind::kGet : MemberKind::kMethod;
    for (const std::string& argument : arguments) call.arguments.emplace_back(argument);
  }
  if (call.name.empty()) throw UsageError("call: name a MEMBER");
  return call;
}

Variant InvokeCall(UploaderControl& control, MemberCall call) {
  if (call.kind == MemberKind::kGet && FindMember(call.name, MemberKind::kGet) == nullptr) {
    call.kind = MemberKind::kMethod;
  }
  return InvokeMember(control, call.name, call.kind, call.arguments);
}

std::string FormatResult(const Variant& result) {
  if (result.IsEmpty()) return {};
  if (!result.IsFileArray()) return result.ToString() + "\n";
  std::string lines;
  for (const AttachedFile& file : result.ToFileArray()) {
    lines += EscapeField(file.key) + "\t" + EscapeField(file.name) + "\t" + ToDecimal(file.size) +
             "\t" + EscapeField(file.header) + "\n";
  }
  return lines;
}

}  // namespace veldrask::host
