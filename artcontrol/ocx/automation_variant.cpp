#include "artcontrol/ocx/automation_variant.h"

#include "artcontrol/ocx/module.h"

namespace tilvo::ocx {

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
  return VT_EMPTY;
}

VARIANT ToVariant(const Variant& value) {
  VARIANT v;
  ::VariantInit(&v);
  V_VT(&v) = VarTypeOf(value.type);
  switch (value.type) {
    case ArgType::kI2:
      V_I2(&v) = static_cast<SHORT>(value.integer);
      break;
    case ArgType::kI4:
      V_I4(&v) = value.integer;
      break;
    case ArgType::kBool:
      V_BOOL(&v) = value.boolean ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case ArgType::kText:
      V_BSTR(&v) = AutomationText(value.text);
      break;
    case ArgType::kNone:
      break;
  }
  return v;
}

bool FromVariant(const VARIANT& in, ArgType type, Variant& out) {
  const VARTYPE wanted = VarTypeOf(type);
  if (wanted == VT_EMPTY) return false;
  VARIANT v;
  ::VariantInit(&v);
  // The system's declaration takes the source as writable; it does not write it.
  if (FAILED(::VariantChangeType(&v, const_cast<VARIANT*>(&in), 0, wanted))) return false;
  switch (type) {
    case ArgType::kI2:
      out = Variant::I2(V_I2(&v));
      break;
    case ArgType::kI4:
      out = Variant::I4(V_I4(&v));
      break;
    case ArgType::kBool:
      out = Variant::Bool(V_BOOL(&v) != VARIANT_FALSE);
      break;
    default:
      out = Variant::Text(Utf8Text(V_BSTR(&v)));
      break;
  }
  ::VariantClear(&v);
  return true;
}

DispResult DispResultOf(HRESULT hr) {
  switch (hr) {
    case S_OK:
      return DispResult::kOk;
    case DISP_E_MEMBERNOTFOUND:
    case DISP_E_UNKNOWNNAME:
      return DispResult::kMemberNotFound;
    case DISP_E_BADPARAMCOUNT:
    case DISP_E_PARAMNOTOPTIONAL:
      return DispResult::kBadParamCount;
    case DISP_E_OVERFLOW:
      return DispResult::kOverflow;
    case DISP_E_TYPEMISMATCH:
      return DispResult::kTypeMismatch;
    default:
      return DispResult::kNotSupported;
  }
}

}  // namespace tilvo::ocx
