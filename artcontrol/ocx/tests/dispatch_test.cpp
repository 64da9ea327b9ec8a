// The control's dispatch interface as hosts reach it: every member by the
// name and DISPID of its identity table, in the type library with its types;
// every member callable; Automation's conversions and error codes.

#include <gtest/gtest.h>

#include <string>

#include "com_host.h"
#include "tilvo/identities.h"

namespace tilvo::ocx::testing {
namespace {

std::wstring Wide(std::string_view text) { return std::wstring(text.begin(), text.end()); }

VARTYPE VarTypeOf(ArgType type) {
  switch (type) {
    case ArgType::kI2:
      return VT_I2;
    case ArgType::kI4:
      return VT_I4;
    case ArgType::kBool:
      return VT_BOOL;
    case ArgType::kText:
      return VT_BSTR;
    case ArgType::kNone:
      break;
  }
  return VT_VOID;
}

// The function of typeinfo with that DISPID and kind, or null (the caller releases it).
FUNCDESC* FindFunction(ITypeInfo* info, DISPID id, INVOKEKIND kind) {
  TYPEATTR* attr = nullptr;
  info->GetTypeAttr(&attr);
  const WORD count = attr->cFuncs;
  info->ReleaseTypeAttr(attr);
  for (UINT i = 0; i < count; ++i) {
    FUNCDESC* f = nullptr;
    info->GetFuncDesc(i, &f);
    if (f->memid == id && f->invkind == kind) return f;
    info->ReleaseFuncDesc(f);
  }
  return nullptr;
}

// Checks one function's parameters (names and types) against the declaration.
void ExpectParams(ITypeInfo* info, FUNCDESC* f, std::span<const Param> params, const char* what) {
  ASSERT_GE(f->cParams, static_cast<SHORT>(params.size())) << what;
  BSTR names[16] = {};
  UINT count = 0;
  info->GetNames(f->memid, names, 16, &count);
  for (std::size_t i = 0; i < params.size(); ++i) {
    EXPECT_EQ(f->lprgelemdescParam[i].tdesc.vt, VarTypeOf(params[i].type)) << what << " " << params[i].name;
    if (i + 1 < count) {
      EXPECT_EQ(std::wstring(names[i + 1]), Wide(params[i].name)) << what;
    }
  }
  for (UINT i = 0; i < count; ++i) ::SysFreeString(names[i]);
}

TEST(TypeLibrary, EveryMemberHasTheDispidNameAndTypesOfTheIdentityTable) {
  ComPtr<IDispatch> control = CreateControl();
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(control->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info), S_OK);
  for (const MemberInfo& m : DispatchMembers()) {
    const std::string what(m.name);
    EXPECT_EQ(IdOf(control.Get(), Wide(m.name).c_str()), m.dispid) << what;
    if (m.kind == MemberKind::kProperty && m.params.empty()) {
      // A plain property is a variable of the dispinterface.
      bool found = false;
      TYPEATTR* attr = nullptr;
      info->GetTypeAttr(&attr);
      for (UINT i = 0; i < attr->cVars; ++i) {
        VARDESC* v = nullptr;
        info->GetVarDesc(i, &v);
        if (v->memid == m.dispid) {
          found = true;
          EXPECT_EQ(v->elemdescVar.tdesc.vt, VarTypeOf(m.type)) << what;
          EXPECT_EQ((v->wVarFlags & VARFLAG_FREADONLY) != 0, m.read_only) << what;
        }
        info->ReleaseVarDesc(v);
      }
      info->ReleaseTypeAttr(attr);
      EXPECT_TRUE(found) << what;
      continue;
    }
    const INVOKEKIND kind = m.kind == MemberKind::kMethod ? INVOKE_FUNC : INVOKE_PROPERTYGET;
    FUNCDESC* f = FindFunction(info.Get(), m.dispid, kind);
    ASSERT_NE(f, nullptr) << what;
    EXPECT_EQ(f->cParams, static_cast<SHORT>(m.params.size())) << what;
    EXPECT_EQ(f->elemdescFunc.tdesc.vt, VarTypeOf(m.type)) << what;
    ExpectParams(info.Get(), f, m.params, what.c_str());
    info->ReleaseFuncDesc(f);
  }
}

TEST(TypeLibrary, TheEventsAndTheClassAreAsDeclared) {
  ComPtr<IDispatch> control = CreateControl();
  ComPtr<IProvideClassInfo2> classInfo;
  ASSERT_EQ(control.As(&classInfo), S_OK);
  GUID events{};
  ASSERT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
  EXPECT_TRUE(::IsEqualGUID(events, DIID__DTilvoEvents));
  ComPtr<ITypeInfo> coclass;
  ASSERT_EQ(classInfo->GetClassInfo(&coclass), S_OK);
  TYPEATTR* attr = nullptr;
  coclass->GetTypeAttr(&attr);
  EXPECT_TRUE(::IsEqualGUID(attr->guid, CLSID_Tilvo));
  EXPECT_EQ(attr->wTypeFlags & (TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL), TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL);
  const WORD implemented = attr->cImplTypes;
  coclass->ReleaseTypeAttr(attr);

  // The default interface and the default source, each a dispinterface built on stdole's IDispatch.
  ComPtr<ITypeInfo> source;
  for (UINT i = 0; i < implemented; ++i) {
    INT flags = 0;
    HREFTYPE ref = 0;
    ComPtr<ITypeInfo> dispinterface;
    coclass->GetImplTypeFlags(i, &flags);
    coclass->GetRefTypeOfImplType(i, &ref);
    ASSERT_EQ(coclass->GetRefTypeInfo(ref, &dispinterface), S_OK);
    TYPEATTR* a = nullptr;
    dispinterface->GetTypeAttr(&a);
    EXPECT_EQ(a->typekind, TKIND_DISPATCH);
    const bool isSource = (flags & IMPLTYPEFLAG_FSOURCE) != 0;
    EXPECT_TRUE(::IsEqualGUID(a->guid, isSource ? DIID__DTilvoEvents : DIID__DTilvo));
    dispinterface->ReleaseTypeAttr(a);
    HREFTYPE baseRef = 0;
    ComPtr<ITypeInfo> base;
    ASSERT_EQ(dispinterface->GetRefTypeOfImplType(0, &baseRef), S_OK);
    ASSERT_EQ(dispinterface->GetRefTypeInfo(baseRef, &base), S_OK);
    base->GetTypeAttr(&a);
    EXPECT_TRUE(::IsEqualGUID(a->guid, IID_IDispatch));
    base->ReleaseTypeAttr(a);
    if (isSource) source = dispinterface;
  }
  ASSERT_NE(source, nullptr);
  for (const EventInfo& e : Events()) {
    FUNCDESC* f = FindFunction(source.Get(), e.dispid, INVOKE_FUNC);
    ASSERT_NE(f, nullptr) << e.name;
    BSTR name = nullptr;
    source->GetDocumentation(e.dispid, &name, nullptr, nullptr, nullptr);
    EXPECT_EQ(std::wstring(name), Wide(e.name));
    ::SysFreeString(name);
    EXPECT_EQ(f->cParams, static_cast<SHORT>(e.params.size())) << e.name;
    ExpectParams(source.Get(), f, e.params, std::string(e.name).c_str());
    source->ReleaseFuncDesc(f);
  }
}

// A value of each declared type for calling every member.
Var ValueOf(ArgType type) {
  switch (type) {
    case ArgType::kI2:
      return Var::I2(1);
    case ArgType::kText:
      return Var::Text(L"");
    default:
      return Var::I4(1);
  }
}

TEST(Dispatch, EveryMemberAnswersWhereItIsDeclared) {
  ComPtr<IDispatch> control = CreateControl();
  for (const MemberInfo& m : DispatchMembers()) {
    const std::string what(m.name);
    std::vector<Var> args;
    for (const Param& p : m.params) args.push_back(ValueOf(p.type));
    std::vector<VARIANT> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(**it);
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    Var result;
    const WORD flags = m.kind == MemberKind::kMethod ? DISPATCH_METHOD : DISPATCH_PROPERTYGET;
    ASSERT_EQ(control->Invoke(m.dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result.get(), nullptr, nullptr),
              S_OK)
        << what;
    if (m.type != ArgType::kNone) {
      EXPECT_EQ(result.type(), VarTypeOf(m.type)) << what;
    }
    if (m.kind != MemberKind::kProperty) continue;
    // A put takes the property's parameters and then the value, named as a put's value.
    Var value = ValueOf(m.type);
    reversed.insert(reversed.begin(), *value);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS put{reversed.data(), &named, static_cast<UINT>(reversed.size()), 1};
    const HRESULT hr =
        control->Invoke(m.dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr, nullptr);
    EXPECT_EQ(hr, m.read_only ? DISP_E_MEMBERNOTFOUND : S_OK) << what;
  }
}

TEST(Dispatch, ArgumentsConvertAsAutomationConvertsAndRefusalsHaveItsCodes) {
  ComPtr<IDispatch> control = CreateControl();
  LONG byReference = 7;
  struct Case {
    const char* name;
    DISPID member;
    WORD flags;
    std::vector<Var> args;
    HRESULT expected;
    const wchar_t* readBack;  // property read afterwards, or null
    LONG value;
  } cases[] = {
      {"a number as text", 4, DISPATCH_PROPERTYPUT, {Var::Text(L"42")}, S_OK, L"ArtIndex", 42},
      {"a short where a long is declared", 1, DISPATCH_PROPERTYPUT, {Var::I2(-9)}, S_OK, L"xOffset", -9},
      {"a boolean as a number", 2, DISPATCH_PROPERTYPUT, {Var::Bool(true)}, S_OK, L"yOffset", -1},
      {"a long that fits a short", 3, DISPATCH_PROPERTYPUT, {Var::I4(8)}, S_OK, L"ArtType", 8},
      {"a long beyond a short", 3, DISPATCH_PROPERTYPUT, {Var::I4(70000)}, DISP_E_OVERFLOW, L"ArtType", 8},
      {"text that is no number", 5, DISPATCH_PROPERTYPUT, {Var::Text(L"blue")}, DISP_E_TYPEMISMATCH, nullptr, 0},
      {"a by-reference argument", 10, DISPATCH_METHOD, {Var::Ref(&byReference)}, S_OK, L"xOffset", -2},
      {"too few arguments", 7, DISPATCH_METHOD, {Var::I2(1)}, DISP_E_BADPARAMCOUNT, nullptr, 0},
      {"too many arguments", 20, DISPATCH_METHOD, {Var::I4(1)}, DISP_E_BADPARAMCOUNT, nullptr, 0},
      {"no such member", 99, DISPATCH_METHOD, {}, DISP_E_MEMBERNOTFOUND, nullptr, 0},
      {"a put on a method", 7, DISPATCH_PROPERTYPUT, {Var::I4(1)}, DISP_E_MEMBERNOTFOUND, nullptr, 0},
      {"a get as hosts call it, method or property", 4, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, S_OK, nullptr, 0},
  };
  for (const Case& c : cases) {
    Var result;
    std::vector<VARIANT> reversed;
    for (auto it = c.args.rbegin(); it != c.args.rend(); ++it) reversed.push_back(**it);
    DISPID named = DISPID_PROPERTYPUT;
    const bool put = (c.flags & DISPATCH_PROPERTYPUT) != 0;
    DISPPARAMS params{reversed.data(), put ? &named : nullptr, static_cast<UINT>(reversed.size()), put ? 1u : 0u};
    const HRESULT hr = control->Invoke(c.member, IID_NULL, LOCALE_USER_DEFAULT, c.flags, &params,
                                       put ? nullptr : result.get(), nullptr, nullptr);
    EXPECT_EQ(hr, c.expected) << c.name;
    if (c.readBack) {
      EXPECT_EQ(GetProperty(control.Get(), c.readBack).Long(), c.value) << c.name;
    }
  }
}

TEST(Dispatch, NamedArgumentsAndTheParameterOfBkColor) {
  ComPtr<IDispatch> control = CreateControl();
  // SetObject(index:=5, type:=2), the names given out of order.
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"SetObject"), const_cast<LPOLESTR>(L"index"),
                      const_cast<LPOLESTR>(L"type")};
  DISPID ids[3] = {};
  ASSERT_EQ(control->GetIDsOfNames(IID_NULL, names, 3, LOCALE_USER_DEFAULT, ids), S_OK);
  EXPECT_EQ(ids[0], 7);
  Var index = Var::I4(5);
  Var type = Var::I2(2);
  VARIANT args[] = {*index, *type};
  DISPPARAMS params{args, &ids[1], 2, 2};
  ASSERT_EQ(control->Invoke(ids[0], IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
            S_OK);
  EXPECT_EQ(GetProperty(control.Get(), L"ArtIndex").Long(), 5);
  EXPECT_EQ(GetProperty(control.Get(), L"ArtType").Long(), 2);

  // BkColor(color) = value stores color and ignores the value; a read ignores its argument.
  PutProperty(control.Get(), L"BkColor", Var::I4(12345), {Var::I4(0x0000FF00)});
  EXPECT_EQ(GetProperty(control.Get(), L"BkColor", {Var::I4(-77)}).Long(), 0x0000FF00);
}

TEST(Dispatch, MethodsReachTheControl) {
  ComPtr<IDispatch> control = CreateControl();
  IDispatch* c = control.Get();
  EXPECT_EQ(GetProperty(c, L"ReadyState").Long(), 2);
  EXPECT_EQ(CallMethod(c, L"xScroll", {Var::I4(5)}).Long(), 5);
  EXPECT_EQ(CallMethod(c, L"xScroll", {Var::I4(5)}).Long(), 10);
  CallMethod(c, L"Scroll", {Var::I4(-5), Var::I4(3)});
  EXPECT_EQ(GetProperty(c, L"xOffset").Long(), 5);
  EXPECT_EQ(GetProperty(c, L"yOffset").Long(), 3);
  const std::initializer_list<Var> item = {Var::I2(0x0EED), Var::I2(1443), Var::I2(1678), Var::I2(20), Var::I2(0)};
  EXPECT_EQ(CallMethod(c, L"AddPreviewItem", item).Long(), 0);
  EXPECT_EQ(CallMethod(c, L"AddPreviewItem", item).Long(), 1);
  CallMethod(c, L"RemovePreviewItemAt", {Var::I4(1)});
  EXPECT_EQ(CallMethod(c, L"AddPreviewItem", item).Long(), 2);
  CallMethod(c, L"RemovePreviewItems");
  EXPECT_EQ(CallMethod(c, L"AddPreviewItem", item).Long(), 0);
  EXPECT_EQ(CallMethod(c, L"AddHideStatic", {Var::I2(1), Var::I4(92369), Var::I2(3), Var::I2(6), Var::I2(20),
                                             Var::I2(0)}).Long(), 0);

  // Paths travel as automation strings; the folder gains the system's separator.
  CallMethod(c, L"SetMulPath", {Var::Text(L"D:\\client")});
  EXPECT_EQ(CallMethod(c, L"GetMulPath").Text(), L"D:\\client\\");
  EXPECT_EQ(CallMethod(c, L"GetCustomMulPath", {Var::I2(3)}).Text(), L"D:\\client\\artidx.mul");
  const wchar_t* unicode = L"D:\\\x00E9t\x00E9\\\x30C6.mul";
  EXPECT_EQ(V_BOOL(CallMethod(c, L"SetCustomMulFile", {Var::I2(45), Var::Text(unicode)}).get()), VARIANT_TRUE);
  EXPECT_EQ(CallMethod(c, L"GetCustomMulPath", {Var::I2(45)}).Text(), unicode);
  EXPECT_EQ(V_BOOL(CallMethod(c, L"SetCustomMulFile", {Var::I2(20), Var::Text(L"x")}).get()), VARIANT_FALSE);
  EXPECT_EQ(CallMethod(c, L"GetCustomMulPath", {Var::I2(25)}).Text(), L"");
}

}  // namespace
}  // namespace tilvo::ocx::testing
