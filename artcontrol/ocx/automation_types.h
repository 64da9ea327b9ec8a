#pragma once
// What the header that widl writes from tilvo.idl expects of its import
// automation_types.idl: the system's own COM and Automation declarations.

#include <ole2.h>
#include <olectl.h>
