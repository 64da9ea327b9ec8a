#include "artcontrol/platform/environment.h"

#include <cstdlib>

namespace tilvo::platform {

std::string EnvironmentValue(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value ? std::string(value) : std::string();
}

bool SetEnvironmentValue(const std::string& name, const std::string& value) {
  return ::setenv(name.c_str(), value.c_str(), 1) == 0;
}

bool UnsetEnvironmentValue(const std::string& name) { return ::unsetenv(name.c_str()) == 0; }

}  // namespace tilvo::platform
