#pragma once
// Sets an environment variable for the life of the object and puts back what
// was there before; tests point XDG_DATA_HOME at a temporary folder with it,
// so that nothing touches the user's own files.

#include <optional>
#include <string>

#include "artcontrol/platform/environment.h"

namespace tilvo::testing {

class ScopedEnvironment {
 public:
  ScopedEnvironment(std::string name, const std::string& value) : name_(std::move(name)) {
    const std::string old = platform::EnvironmentValue(name_);
    if (!old.empty()) old_ = old;
    platform::SetEnvironmentValue(name_, value);
  }
  ~ScopedEnvironment() {
    if (old_) {
      platform::SetEnvironmentValue(name_, *old_);
    } else {
      platform::UnsetEnvironmentValue(name_);
    }
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

}  // namespace tilvo::testing
