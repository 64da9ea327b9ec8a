// Gives the process-wide service record the names the entry routine gives
// it, for the length of a test, and puts back afterwards the names and the
// state fields that service tests change.
#pragma once

#include <cstdint>
#include <string>

#include "service/host/service_control.h"

namespace testing_support {

class ServiceRecordScope {
 public:
  // Short name "orvosvr", display name "Orvo Server", and `server_name`.
  explicit ServiceRecordScope(const std::string& server_name) {
    host::ServiceControl& s = host::Service();
    s.short_name = "orvosvr";
    s.display_name = "Orvo Server";
    host::SetServerName(server_name);
  }
  ~ServiceRecordScope() {
    host::ServiceControl& s = host::Service();
    s.server_name = saved_.server_name;
    s.short_name = saved_.short_name;
    s.display_name = saved_.display_name;
    s.full_name = saved_.full_name;
    s.console.store(saved_.console);
    s.current_state.store(saved_.state);
    s.status_handle.store(nullptr);
    s.exit_code = 0;
    s.wait_hint = 5000;
  }
  ServiceRecordScope(const ServiceRecordScope&) = delete;
  ServiceRecordScope& operator=(const ServiceRecordScope&) = delete;

 private:
  struct Saved {
    std::string server_name = host::Service().server_name;
    std::string short_name = host::Service().short_name;
    std::string display_name = host::Service().display_name;
    std::string full_name = host::Service().full_name;
    int console = host::Service().console.load();
    uint32_t state = host::Service().current_state.load();
  } saved_;
};

// Sets an environment variable for the length of a test, then puts back what was there.
class EnvScope {
 public:
  EnvScope(const char* name, const std::string& value);
  // Leaves the variable out.
  explicit EnvScope(const char* name);
  ~EnvScope();
  EnvScope(const EnvScope&) = delete;
  EnvScope& operator=(const EnvScope&) = delete;

 private:
  std::string name_;
  bool had_ = false;
  std::string old_;
};

}  // namespace testing_support
