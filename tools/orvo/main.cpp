// orvo: the command-line client of the administration service.
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "tools/orvo/cli.h"
#include "tools/orvo/platform.h"
#include "tools/orvo/platform_process.h"

int main(int argc, char** argv) {
  orvo::Environment env;
  if (const char* password = std::getenv("ORVO_PASSWORD")) env.password_variable = password;
  env.variable = [](const std::string& name) -> std::optional<std::string> {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
  };
  env.read_secret = orvo::platform::ReadSecretFromTerminal;
  env.in = &std::cin;
  env.out = &std::cout;
  env.err = &std::cerr;
  env.err_is_terminal = orvo::platform::StandardErrorIsTerminal();
  env.in_is_terminal = orvo::platform::StandardInputIsTerminal();
  std::vector<std::string> args(argv + 1, argv + argc);
  int status = orvo::RunOrvo(args, env);
  std::cout.flush();
  return std::cout ? status : orvo::kExitLocalFile;
}
