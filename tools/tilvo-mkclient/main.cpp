// tilvo-mkclient DIR: writes the small synthetic game client folder that the
// control's tests and examples draw from.

#include <iostream>
#include <string>

#include "testing/tilvo/synthetic_client.h"

int main(int argc, char** argv) {
  if (argc != 2 || std::string(argv[1]).empty()) {
    std::cerr << "usage: tilvo-mkclient DIR\n";
    return 2;
  }
  std::string error;
  if (!tilvo::mkclient::StandardClient().Write(argv[1], error)) {
    std::cerr << "tilvo-mkclient: " << error << "\n";
    return 1;
  }
  return 0;
}
