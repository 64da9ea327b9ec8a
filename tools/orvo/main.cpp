// orvo: the command-line client of the administration service.
#include <iostream>
#include <string>
#include <vector>

#include "tools/orvo/cli.h"
#include "tools/orvo/platform.h"
#include "tools/orvo/platform_process.h"

int main(int argc, char** argv) {
  orvo::platform::PrepareStandardStreams();
  orvo::Environment env;
  env.password_variable = orvo::platform::EnvironmentVariable("ORVO_PASSWORD");
  env.variable = orvo::platform::EnvironmentVariable;
  env.read_secret = orvo::platform::ReadSecretFromTerminal;
  env.in = &std::cin;
  env.out = &std::cout;
  env.err = &std::cerr;
  env.err_is_terminal = orvo::platform::StandardErrorIsTerminal();
  env.in_is_terminal = orvo::platform::StandardInputIsTerminal();
  std::vector<std::string> args = orvo::platform::ProgramArguments(argc, argv);
  int status = orvo::RunOrvo(args, env);
  std::cout.flush();
  return std::cout ? status : orvo::kExitLocalFile;
}
