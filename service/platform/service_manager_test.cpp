#include "service/platform/service_manager.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "service/platform/last_error.h"

namespace platform {
namespace {

// The value of `key` in a unit's text, or "<missing>".
std::string Value(const std::string& unit, const std::string& key) {
  size_t at = unit.find("\n" + key + "=");
  if (at == std::string::npos) return "<missing>";
  at += key.size() + 2;
  return unit.substr(at, unit.find('\n', at) - at);
}

TEST(ServiceUnitFile, ValuesKeepTheirMeaning) {
  struct Case {
    ServiceDefinition service;
    std::string description;
    std::string exec_start;
    std::string working_directory;
  };
  const Case cases[] = {
      {{"Orvo Server - Northmoor", "/srv/moor/orvosvr", "/srv/moor"}, "Orvo Server - Northmoor",
       "\"/srv/moor/orvosvr\"", "/srv/moor"},
      {{"Orvo Server - 100% Moor", "/srv/100% moor/orvosvr", "/srv/100% moor"}, "Orvo Server - 100%% Moor",
       "\"/srv/100%% moor/orvosvr\"", "/srv/100%% moor"},
      {{"Orvo Server", "/srv/$HOME \"q\" back\\slash/orvosvr", "/srv/x"}, "Orvo Server",
       "\"/srv/$$HOME \\\"q\\\" back\\\\slash/orvosvr\"", "/srv/x"},
  };
  for (const Case& c : cases) {
    std::string unit = UnitFileText(c.service);
    EXPECT_EQ(Value(unit, "Description"), c.description) << unit;
    EXPECT_EQ(Value(unit, "ExecStart"), c.exec_start) << unit;
    EXPECT_EQ(Value(unit, "WorkingDirectory"), c.working_directory) << unit;
  }
}

TEST(ServiceUnitFile, RefusesWhatALineCannotCarry) {
  EXPECT_EQ(UnitFileText({"Orvo Server - Moor", "/srv/new\nline/orvosvr", "/srv/new\nline"}), "");
  EXPECT_EQ(LastError(), EINVAL);
  EXPECT_EQ(UnitFileText({"Orvo Server - Moor\r", "/srv/orvosvr", "/srv"}), "");
}

}  // namespace
}  // namespace platform
