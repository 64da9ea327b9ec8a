// The dispatch entry: reaches the control's members by DISPID, checking the
// argument count against the declaration and turning each argument into its
// declared type as automation does (integers of either width and booleans
// become integers when they fit; text stays text).

#include <array>
#include <limits>
#include <span>

#include "tilvo/identities.h"
#include "tilvo/tilvo.h"

namespace tilvo {

namespace {

// The arguments of one call, already in their declared types.
class Args {
 public:
  explicit Args(std::span<const Variant> values) : values_(values) {}
  std::int16_t I2(std::size_t i) const { return static_cast<std::int16_t>(values_[i].integer); }
  std::int32_t I4(std::size_t i) const { return values_[i].integer; }
  const std::string& Text(std::size_t i) const { return values_[i].text; }

 private:
  std::span<const Variant> values_;
};

using Getter = Variant (*)(const CTilvoCtrl&, const Args&);
using Putter = void (*)(CTilvoCtrl&, const Args&);  // the value comes after the property's own parameters
using Caller = Variant (*)(CTilvoCtrl&, const Args&);

// How each DISPID reaches the control; the declarations are in the identities.
struct Binding {
  std::int32_t dispid;
  Getter get;
  Putter put;
  Caller call;
};

Variant None() { return {}; }

const Binding kBindings[] = {
    {1, [](const CTilvoCtrl& c, const Args&) { return Variant::I4(c.GetxOffset()); },
     [](CTilvoCtrl& c, const Args& a) { c.SetxOffset(a.I4(0)); }, nullptr},
    {2, [](const CTilvoCtrl& c, const Args&) { return Variant::I4(c.GetyOffset()); },
     [](CTilvoCtrl& c, const Args& a) { c.SetyOffset(a.I4(0)); }, nullptr},
    {3, [](const CTilvoCtrl& c, const Args&) { return Variant::I2(c.GetArtType()); },
     [](CTilvoCtrl& c, const Args& a) { c.SetArtType(a.I2(0)); }, nullptr},
    {4, [](const CTilvoCtrl& c, const Args&) { return Variant::I4(c.GetArtIndex()); },
     [](CTilvoCtrl& c, const Args& a) { c.SetArtIndex(a.I4(0)); }, nullptr},
    {5, [](const CTilvoCtrl& c, const Args&) { return Variant::I2(c.GetArtColor()); },
     [](CTilvoCtrl& c, const Args& a) { c.SetArtColor(a.I2(0)); }, nullptr},
    {6, [](const CTilvoCtrl& c, const Args&) { return Variant::I2(c.GetDrawFlags()); },
     [](CTilvoCtrl& c, const Args& a) { c.SetDrawFlags(a.I2(0)); }, nullptr},
    {7, nullptr, nullptr, [](CTilvoCtrl& c, const Args& a) { c.SetObject(a.I2(0), a.I4(1)); return None(); }},
    {8, nullptr, nullptr, [](CTilvoCtrl& c, const Args& a) { c.SetOffset(a.I4(0), a.I4(1)); return None(); }},
    {9, nullptr, nullptr, [](CTilvoCtrl& c, const Args& a) { return Variant::I4(c.yScroll(a.I4(0))); }},
    {10, nullptr, nullptr, [](CTilvoCtrl& c, const Args& a) { return Variant::I4(c.xScroll(a.I4(0))); }},
    {11, nullptr, nullptr, [](CTilvoCtrl& c, const Args& a) { c.Scroll(a.I4(0), a.I4(1)); return None(); }},
    {12, nullptr, nullptr, [](CTilvoCtrl& c, const Args&) { c.RemovePreviewItems(); return None(); }},
    {13, nullptr, nullptr,
     [](CTilvoCtrl& c, const Args& a) {
       c.RemovePreviewItem(a.I2(0), a.I2(1), a.I2(2), a.I2(3), a.I2(4));
       return None();
     }},
    {14, nullptr, nullptr, [](CTilvoCtrl& c, const Args& a) { c.RemovePreviewItemAt(a.I4(0)); return None(); }},
    {15, nullptr, nullptr,
     [](CTilvoCtrl& c, const Args& a) {
       return Variant::I4(c.AddPreviewItem(a.I2(0), a.I2(1), a.I2(2), a.I2(3), a.I2(4)));
     }},
    {16, nullptr, nullptr,
     [](CTilvoCtrl& c, const Args& a) {
       return Variant::I4(c.AddHideStatic(a.I2(0), a.I4(1), a.I2(2), a.I2(3), a.I2(4), a.I2(5)));
     }},
    {17, nullptr, nullptr, [](CTilvoCtrl& c, const Args&) { c.RemoveHideStatics(); return None(); }},
    {18, nullptr, nullptr, [](CTilvoCtrl& c, const Args& a) { c.RemoveHideStaticAt(a.I4(0)); return None(); }},
    {19, nullptr, nullptr,
     [](CTilvoCtrl& c, const Args& a) {
       c.RemoveHideStatic(a.I2(0), a.I4(1), a.I2(2), a.I2(3), a.I2(4), a.I2(5));
       return None();
     }},
    {20, nullptr, nullptr, [](CTilvoCtrl& c, const Args&) { c.RedrawControl(); return None(); }},
    {21, nullptr, nullptr, [](CTilvoCtrl& c, const Args& a) { c.SetMulPath(a.Text(0)); return None(); }},
    {22, nullptr, nullptr, [](CTilvoCtrl& c, const Args&) { return Variant::Text(c.GetMulPath()); }},
    {23, nullptr, nullptr,
     [](CTilvoCtrl& c, const Args& a) { return Variant::Bool(c.SetCustomMulFile(a.I2(0), a.Text(1))); }},
    {24, nullptr, nullptr, [](CTilvoCtrl& c, const Args& a) { return Variant::Text(c.GetCustomMulPath(a.I2(0))); }},
    {25, [](const CTilvoCtrl& c, const Args& a) { return Variant::I4(c.GetBkColor(a.I4(0))); },
     [](CTilvoCtrl& c, const Args& a) { c.SetBkColor(a.I4(0), a.I4(1)); }, nullptr},
    {-525, [](const CTilvoCtrl& c, const Args&) { return Variant::I4(c.GetReadyState()); }, nullptr, nullptr},
};

const Binding* FindBinding(std::int32_t dispid) {
  for (const Binding& b : kBindings) {
    if (b.dispid == dispid) return &b;
  }
  return nullptr;
}

// Turns one argument into the declared type.
DispResult Coerce(const Variant& in, ArgType type, Variant& out) {
  if (type == ArgType::kText) {
    if (in.type != ArgType::kText) return DispResult::kTypeMismatch;
    out = in;
    return DispResult::kOk;
  }
  std::int64_t value = 0;
  switch (in.type) {
    case ArgType::kI2:
    case ArgType::kI4:
      value = in.integer;
      break;
    case ArgType::kBool:
      value = in.boolean ? -1 : 0;  // an automation boolean is all bits set
      break;
    default:
      return DispResult::kTypeMismatch;
  }
  if (type == ArgType::kI2 &&
      (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())) {
    return DispResult::kOverflow;
  }
  if (type == ArgType::kBool) {
    out = Variant::Bool(value != 0);
  } else {
    out = {type, static_cast<std::int32_t>(value), false, {}};
  }
  return DispResult::kOk;
}

}  // namespace

DispResult CTilvoCtrl::Invoke(std::int32_t dispid, InvokeKind kind, std::span<const Variant> args, Variant* result) {
  const MemberInfo* member = FindMember(dispid);
  const Binding* binding = FindBinding(dispid);
  if (member == nullptr || binding == nullptr) return DispResult::kMemberNotFound;

  // The declared parameters; a property put adds the value, of the property's type.
  std::vector<Param> declared(member->params.begin(), member->params.end());
  if (member->kind == MemberKind::kProperty) {
    if (kind == InvokeKind::kMethod) return DispResult::kNotSupported;
    if (kind == InvokeKind::kPropertyPut) {
      if (member->read_only) return DispResult::kNotSupported;
      declared.push_back({"newValue", member->type});
    }
  } else if (kind != InvokeKind::kMethod) {
    return DispResult::kNotSupported;
  }
  if (args.size() != declared.size()) return DispResult::kBadParamCount;

  std::vector<Variant> typed(args.size());
  for (std::size_t i = 0; i < args.size(); ++i) {
    DispResult r = Coerce(args[i], declared[i].type, typed[i]);
    if (r != DispResult::kOk) return r;
  }
  Args a(typed);
  Variant value;
  switch (kind) {
    case InvokeKind::kPropertyGet:
      value = binding->get(*this, a);
      break;
    case InvokeKind::kPropertyPut:
      binding->put(*this, a);
      break;
    case InvokeKind::kMethod:
      value = binding->call(*this, a);
      break;
  }
  if (result != nullptr) *result = std::move(value);
  return DispResult::kOk;
}

}  // namespace tilvo
