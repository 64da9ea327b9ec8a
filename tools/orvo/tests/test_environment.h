// orvo's surroundings for a test that runs it whole in its own process: the
// given variables and password, the test's streams, no terminal.
#pragma once

#include <istream>
#include <map>
#include <optional>
#include <ostream>
#include <string>

#include "tools/orvo/environment.h"

namespace orvo::testing {

inline Environment TestEnvironment(std::map<std::string, std::string> variables, std::optional<std::string> password,
                                   std::istream* in, std::ostream* out, std::ostream* err) {
  Environment env;
  env.password_variable = std::move(password);
  env.variable = [variables = std::move(variables)](const std::string& name) -> std::optional<std::string> {
    auto found = variables.find(name);
    return found == variables.end() ? std::nullopt : std::optional<std::string>(found->second);
  };
  env.read_secret = [](const std::string&, std::string*) { return -1; };
  env.in = in;
  env.out = out;
  env.err = err;
  return env;
}

}  // namespace orvo::testing
