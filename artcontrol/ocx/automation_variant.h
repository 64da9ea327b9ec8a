#pragma once
// Values between the core's Variant and Automation's VARIANT, and the core's
// dispatch results as Automation's error codes.

#include <windows.h>
#include <oaidl.h>

#include "tilvo/tilvo.h"

namespace tilvo::ocx {

// The VARIANT type of an argument type (VT_EMPTY for none).
VARTYPE VarTypeOf(ArgType type);
// value as a VARIANT that the caller clears.
VARIANT ToVariant(const Variant& value);
// in converted to type as Automation converts; false when it cannot be.
bool FromVariant(const VARIANT& in, ArgType type, Variant& out);
// The core's dispatch result for an Automation result code.
DispResult DispResultOf(HRESULT hr);

}  // namespace tilvo::ocx
