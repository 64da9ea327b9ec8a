#include "service/tests/service_record.h"

#include <cstdlib>

namespace testing_support {

EnvScope::EnvScope(const char* name, const std::string& value) : EnvScope(name) {
  ::setenv(name, value.c_str(), 1);
}

EnvScope::EnvScope(const char* name) : name_(name) {
  const char* old = std::getenv(name);
  had_ = old != nullptr;
  if (had_) old_ = old;
  ::unsetenv(name);
}

EnvScope::~EnvScope() {
  if (had_) {
    ::setenv(name_.c_str(), old_.c_str(), 1);
  } else {
    ::unsetenv(name_.c_str());
  }
}

}  // namespace testing_support
