#include "control/member_table.h"

#include "control_fixture.h"

namespace veldrask::testing {
namespace {

using MemberTableTest = ControlTest;

Variant Call(UploaderControl& control, std::string_view name, MemberKind kind,
             std::vector<Variant> arguments = {}) {
  return InvokeMember(control, name, kind, arguments);
}

TEST_F(MemberTableTest, CallsMembersByNameWithTheHostsConversions) {
  UploaderControl& control = CreateNew();
  Call(control, "MaxFileCount", MemberKind::kLet, {"12"});
  EXPECT_EQ(control.MaxFileCount(), 12);
  EXPECT_EQ(Call(control, "maxfilecount", MemberKind::kGet), Variant(std::int16_t{12}));
  Call(control, "BufferSize", MemberKind::kLet, {"2.5"});
  EXPECT_EQ(control.BufferSize(), 2);
  EXPECT_EQ(Call(control, "EngTitleVer", MemberKind::kGet).ToString(), control.EngTitleVer());
  EXPECT_EQ(Call(control, "RegiSaveString", MemberKind::kMethod,
                 {"-2147483646", "Software\\T", "N", std::int16_t{7}}),
            Variant(std::int32_t{0}));
}

TEST_F(MemberTableTest, UrlTextGoesThroughTheAnsiCodePage) {
  UploaderControl& control = CreateNew();
  std::vector<Variant> arguments = {"/data/%B0%A1.txt"};
  EXPECT_EQ(InvokeMember(control, "URLDecode", MemberKind::kMethod, arguments).ToString(),
            "/data/가.txt");
  EXPECT_EQ(arguments[0].ToString(), "/data/%B0%A1.txt");  // by reference, left unchanged
  EXPECT_EQ(Call(control, "URLEncode", MemberKind::kMethod, {"가 b.txt"}).ToString(),
            "%B0A1+b%2Etxt");
  EXPECT_EQ(ErrorOf([&] { Call(control, "URLDecode", MemberKind::kMethod, {"%zz"}); }), 13);
}

TEST_F(MemberTableTest, BadCallsRaiseTheScriptingErrors) {
  UploaderControl& control = CreateNew();
  EXPECT_EQ(ErrorOf([&] { Call(control, "ServerPort", MemberKind::kLet, {"32768"}); }), 6);
  EXPECT_EQ(ErrorOf([&] { Call(control, "ServerPort", MemberKind::kLet, {"http"}); }), 13);
  EXPECT_EQ(ErrorOf([&] { Call(control, "NoSuchMember", MemberKind::kMethod); }), 438);
  EXPECT_EQ(ErrorOf([&] { Call(control, "Boundary", MemberKind::kLet, {"x"}); }), 438);
  EXPECT_EQ(ErrorOf([&] { Call(control, "RegiDeleteKey", MemberKind::kMethod, {"1"}); }), 449);
  EXPECT_EQ(ErrorOf([&] { Call(control, "EngTitleVer", MemberKind::kGet, {"1"}); }), 450);
  EXPECT_EQ(control.ServerPort(), 80);
}

TEST_F(MemberTableTest, EveryMemberIsUniqueAndKeepsItsParameterNames) {
  const auto& table = MemberTable();
  for (std::size_t i = 0; i < table.size(); ++i) {
    for (std::size_t j = i + 1; j < table.size(); ++j) {
      EXPECT_FALSE(table[i].name == table[j].name && table[i].kind == table[j].kind)
          << table[i].name;
    }
  }
  const Member* save = FindMember("RegiSaveString", MemberKind::kMethod);
  ASSERT_NE(save, nullptr);
  ASSERT_EQ(save->parameters.size(), 4u);
  EXPECT_EQ(save->parameters[0].name, "HKey");
  EXPECT_EQ(save->parameters[3].name, "strData");
}

TEST_F(MemberTableTest, TheReplyStatusComesLastAndIsReadOnly) {
  const Member& last = MemberTable().back();
  EXPECT_EQ(last.name, "HTTPResponseStatus");
  EXPECT_EQ(last.kind, MemberKind::kGet);
  EXPECT_EQ(last.result, ValueType::kString);
  EXPECT_EQ(FindMember("HTTPResponseStatus", MemberKind::kLet), nullptr);
  UploaderControl& control = CreateNew();
  EXPECT_EQ(Call(control, "HTTPResponseStatus", MemberKind::kGet), Variant(std::string()));
}

}  // namespace
}  // namespace veldrask::testing
