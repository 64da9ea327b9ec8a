// tilvo-regsvr: registers a Tilvo module for the current user, or with -u
// unregisters it, as regsvr32 does. Exit status 0 on success, 1 for bad
// arguments, 3 when the module does not load, 4 when it lacks the entry
// point, 5 when the entry point fails.

#include <iostream>
#include <string>
#include <vector>

#include "regsvr.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return tilvo::regsvr_tool::RunRegsvr(args, std::cout, std::cerr);
}
