// The control's members are written twice: in the type library (veldrask_uploader.idl) that COM
// hosts read, and in the member table that the core dispatches by. This reads the type library
// embedded in the built DLL and holds it to the table, member by member in order.

#include <gtest/gtest.h>

// clang-format off
#include <windows.h>
#include <oleauto.h>
// clang-format on

#include <optional>
#include <string>
#include <vector>

#include "control/member_table.h"
#include "win32/wide_text.h"

namespace veldrask {
namespace {

// What the type library says of one member, in the member table's terms.
struct LibraryMember {
  std::string name;
  MemberKind kind = MemberKind::kMethod;
  MEMBERID id = 0;
  std::vector<std::string> parameterNames;  // a property put's right side has none
  std::vector<std::optional<ValueType>> parameterTypes;
  std::vector<bool> byReference;
  std::optional<ValueType> result;
};

std::string NameOf(ITypeInfo& info, MEMBERID id) {
  BSTR name = nullptr;
  if (FAILED(info.GetDocumentation(id, &name, nullptr, nullptr, nullptr))) return {};
  std::string text = win32::Narrow(name);
  SysFreeString(name);
  return text;
}

// The table's type for a type library's; nullopt for one the table has no word for.
std::optional<ValueType> TypeOf(ITypeInfo& info, const TYPEDESC& type) {
  switch (type.vt) {
    case VT_VOID:
      return ValueType::kNone;
    case VT_BSTR:
      return ValueType::kString;
    case VT_I2:
      return ValueType::kInt16;
    case VT_I4:
      return ValueType::kInt32;
    case VT_BOOL:
      return ValueType::kBool;
    case VT_SAFEARRAY: {
      ITypeInfo* element = nullptr;
      if (type.lptdesc->vt != VT_USERDEFINED ||
          FAILED(info.GetRefTypeInfo(type.lptdesc->hreftype, &element))) {
        return std::nullopt;
      }
      const std::string name = NameOf(*element, MEMBERID_NIL);
      element->Release();
      if (name == "ATTACHEDFILE") return ValueType::kFileArray;
      return std::nullopt;
    }
    default:
      return std::nullopt;
  }
}

LibraryMember Describe(ITypeInfo& info, const FUNCDESC& function) {
  LibraryMember member;
  member.id = function.memid;
  member.kind = function.invkind == INVOKE_PROPERTYGET   ? MemberKind::kGet
                : function.invkind == INVOKE_PROPERTYPUT ? MemberKind::kLet
                                                         : MemberKind::kMethod;
  std::vector<BSTR> names(static_cast<std::size_t>(function.cParams) + 1);
  UINT count = 0;
  EXPECT_TRUE(SUCCEEDED(
      info.GetNames(function.memid, names.data(), static_cast<UINT>(names.size()), &count)));
  for (UINT i = 0; i < count; ++i) {
    std::string name = win32::Narrow(names[i]);
    SysFreeString(names[i]);
    if (i == 0) {
      member.name = std::move(name);
    } else {
      member.parameterNames.push_back(std::move(name));
    }
  }
  // A put shares its id with the get, whose names GetNames gives: the put has only the value.
  if (member.kind == MemberKind::kLet) member.parameterNames.clear();
  for (SHORT i = 0; i < function.cParams; ++i) {
    const TYPEDESC& type = function.lprgelemdescParam[i].tdesc;
    const bool reference = type.vt == VT_PTR;
    member.byReference.push_back(reference);
    member.parameterTypes.push_back(TypeOf(info, reference ? *type.lptdesc : type));
  }
  member.result = TypeOf(info, function.elemdescFunc.tdesc);
  return member;
}

std::vector<LibraryMember> ReadDispatchInterface() {
  std::wstring path = L"Z:" + win32::Widen(VELDRASK_COM_DLL);
  for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
  ITypeLib* library = nullptr;
  EXPECT_EQ(LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library), S_OK);
  if (library == nullptr) return {};
  ITypeInfo* info = nullptr;
  for (UINT i = 0; i < library->GetTypeInfoCount() && info == nullptr; ++i) {
    BSTR name = nullptr;
    if (FAILED(library->GetDocumentation(static_cast<INT>(i), &name, nullptr, nullptr, nullptr))) {
      continue;
    }
    if (win32::Narrow(name) == "_UploaderControl") library->GetTypeInfo(i, &info);
    SysFreeString(name);
  }
  library->Release();
  EXPECT_NE(info, nullptr) << "no dispatch interface _UploaderControl";
  if (info == nullptr) return {};

  std::vector<LibraryMember> members;
  TYPEATTR* attributes = nullptr;
  EXPECT_EQ(info->GetTypeAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
  EXPECT_EQ(attributes->cVars, 0) << "the members are all property functions and methods";
  for (WORD i = 0; i < attributes->cFuncs; ++i) {
    FUNCDESC* function = nullptr;
    EXPECT_EQ(info->GetFuncDesc(i, &function), S_OK);
    if (function == nullptr) continue;
    members.push_back(Describe(*info, *function));
    info->ReleaseFuncDesc(function);
  }
  info->ReleaseTypeAttr(attributes);
  info->Release();
  return members;
}

TEST(TypeLibraryTest, DispatchInterfaceSaysWhatTheMemberTableSays) {
  const std::vector<LibraryMember> library = ReadDispatchInterface();
  const std::vector<Member>& table = MemberTable();
  ASSERT_EQ(library.size(), table.size());
  MEMBERID previousId = 0;
  std::string previousName;
  for (std::size_t i = 0; i < table.size(); ++i) {
    const Member& expected = table[i];
    const LibraryMember& actual = library[i];
    SCOPED_TRACE(std::string(expected.name) + " at " + std::to_string(i));
    EXPECT_EQ(actual.name, expected.name);
    EXPECT_EQ(actual.kind, expected.kind);
    // Ids count up from 1 in table order; a get and its put share one.
    EXPECT_EQ(actual.id, actual.name == previousName ? previousId : previousId + 1);
    previousId = actual.id;
    previousName = actual.name;
    EXPECT_EQ(actual.result, expected.result);
    ASSERT_EQ(actual.parameterTypes.size(), expected.parameters.size());
    for (std::size_t p = 0; p < expected.parameters.size(); ++p) {
      const Parameter& parameter = expected.parameters[p];
      if (expected.kind != MemberKind::kLet) {
        EXPECT_EQ(actual.parameterNames.at(p), parameter.name);
      }
      EXPECT_EQ(actual.parameterTypes[p], parameter.type) << parameter.name;
      EXPECT_EQ(actual.byReference[p], parameter.byReference) << parameter.name;
    }
  }
}

}  // namespace
}  // namespace veldrask
