#include "tilvo/identities.h"

#include <gtest/gtest.h>

#include <set>

#include "tilvo/headless_site.h"
#include "tilvo/tilvo.h"

namespace tilvo {
namespace {

TEST(Identities, GuidsAndNamesAreTheOnesHostsBindTo) {
  struct Case {
    const Identity& identity;
    std::string_view name, text, progId, description;
  } cases[] = {
      {kTypeLibrary, "TILVOLib", "{42509308-9EA0-4603-922E-F1AC67FF6F4A}", "", "Tilvo ActiveX Control module"},
      {kDispatchInterface, "_DTilvo", "{EF8782A5-4E77-4990-A8C7-0E28C52E90CF}", "",
       "Dispatch interface for Tilvo Control"},
      {kEventInterface, "_DTilvoEvents", "{76EB6488-B9FA-4115-8D19-1DE8C751D902}", "",
       "Event interface for Tilvo Control"},
      {kControlClass, "Tilvo", "{0904F7B3-2339-44C9-857C-6EB6CFEFA3B6}", "TILVO.TilvoCtrl.1", "Tilvo Control"},
      {kPropertyPageClass, "CTilvoPropPage", "{6537D7F1-F511-4C05-81B9-0F7AFF51A1EA}", "TILVO.TilvoPropPage.1",
       "Tilvo Property Page"},
      {kMembersInterface, "ITilvoMembers", "{4F621E93-7959-47F1-B648-C7281B3A7873}", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.identity.name, c.name);
    EXPECT_EQ(GuidText(c.identity.guid), c.text);
    EXPECT_EQ(c.identity.prog_id, c.progId);
    EXPECT_EQ(c.identity.description, c.description);
  }
  EXPECT_EQ(kMiscStatus, 0x20191u);
}

TEST(Identities, NamesFindTheirDispidsWithoutRegardToCase) {
  struct Case {
    std::string_view name;
    std::int32_t dispid;
  } cases[] = {
      {"xOffset", 1}, {"XOFFSET", 1}, {"bkcolor", 25}, {"ReadyState", -525}, {"mouseup", -607},
      {"Scrol", 0},   {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(DispIdOfName(c.name), c.dispid) << c.name;
  for (const MemberInfo& m : DispatchMembers()) EXPECT_EQ(DispIdOfName(m.name), m.dispid) << m.name;
  for (const EventInfo& e : Events()) EXPECT_EQ(DispIdOfName(e.name), e.dispid) << e.name;
}

TEST(Identities, EveryDeclaredMemberIsReachableWithItsDeclaredArguments) {
  HeadlessSite site;
  CTilvoCtrl ctrl(site, "/nonexistent-client");
  std::set<std::int32_t> seen;
  for (const MemberInfo& m : DispatchMembers()) {
    EXPECT_TRUE(seen.insert(m.dispid).second) << m.name;
    EXPECT_EQ(FindMember(m.dispid), &m);
    std::vector<Variant> args;
    for (const Param& p : m.params) {
      args.push_back(p.type == ArgType::kText ? Variant::Text("/x") : Variant{p.type, 1, true, {}});
    }
    InvokeKind kind = m.kind == MemberKind::kMethod ? InvokeKind::kMethod : InvokeKind::kPropertyGet;
    Variant result;
    EXPECT_EQ(ctrl.Invoke(m.dispid, kind, args, &result), DispResult::kOk) << m.name;
    EXPECT_EQ(result.type, m.type) << m.name;
    if (m.kind == MemberKind::kProperty && !m.read_only) {
      args.push_back(Variant{m.type, 1, true, {}});
      EXPECT_EQ(ctrl.Invoke(m.dispid, InvokeKind::kPropertyPut, args), DispResult::kOk) << m.name;
    }
  }
  EXPECT_EQ(seen.size(), 26u);
  EXPECT_EQ(Events().size(), 4u);
  for (const EventInfo& e : Events()) EXPECT_EQ(FindMember(e.dispid), nullptr) << e.name;
}

}  // namespace
}  // namespace tilvo
