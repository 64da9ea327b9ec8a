// tilvo-render: a command-line host of the Tilvo control that paints one
// picture and writes it to a file. Exits 0 when the picture was painted
// (background alone included), 2 with a one-line message for a bad argument,
// 1 when the file cannot be written.

#include <iostream>
#include <string>
#include <vector>

#include "render_options.h"
#include "render_run.h"

int main(int argc, char** argv) {
  using namespace tilvo::render_tool;
  std::vector<std::string> args(argv + 1, argv + argc);
  RenderOptions options;
  std::string error;
  if (!ParseRenderOptions(args, options, error)) {
    std::cerr << "tilvo-render: " << error << "\n";
    return 2;
  }
  int status = RunRender(options, std::cout, error);
  if (status != 0) std::cerr << "tilvo-render: " << error << "\n";
  return status;
}
