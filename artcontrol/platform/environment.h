#pragma once
// The process environment: reading a variable, and setting or removing one
// (tests point the per-user folders at temporary ones this way).

#include <string>

namespace tilvo::platform {

// The variable's value, or empty when it is not set.
std::string EnvironmentValue(const std::string& name);
// Sets the variable for this process; false when the system refuses the name.
bool SetEnvironmentValue(const std::string& name, const std::string& value);
// Removes the variable from this process's environment; false when the system refuses the name.
bool UnsetEnvironmentValue(const std::string& name);

}  // namespace tilvo::platform
