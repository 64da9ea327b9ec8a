// tilvo-mkclient [OPTION...] DIR: writes the small synthetic game client
// folder that the control's tests and examples draw from, as either
// generation of client stores it.

#include <iostream>
#include <string>
#include <vector>

#include "testing/tilvo/synthetic_client.h"

namespace {

constexpr const char* kUsage =
    "usage: tilvo-mkclient [--uop] [--tiledata-layout old|old-wide|new] [--multi-records 12|16] [--all-items] DIR\n"
    "Writes a small synthetic game client into DIR (created when needed).\n"
    "  --uop                       art, gumps, maps and multis in containers (artLegacyMUL.uop, ...), as\n"
    "                              current clients store them, instead of index and data files\n"
    "  --tiledata-layout LAYOUT    old (0x4000 items, the default), old-wide (0x8000 items) or new\n"
    "                              (0x10000 items with 64-bit flags)\n"
    "  --multi-records N           bytes of a multi.mul component: 12 (the default) or 16\n"
    "  --all-items                 a picture for every item up to 0xFFFF and a name for every item record\n"
    "                              (about 60 MB; with --tiledata-layout new, 0x10000 named items)\n"
    "Exit status: 0 written, 1 a file could not be written, 2 bad usage. See tilvo-mkclient(1).\n";

// Parses the arguments after the program name; false with a reason in error.
bool Parse(const std::vector<std::string>& args, tilvo::mkclient::ClientOptions& options, std::string& dir,
           std::string& error) {
  using tilvo::mkclient::TileLayout;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--uop") {
      options.containers = true;
    } else if (arg == "--all-items") {
      options.allItems = true;
    } else if (arg == "--tiledata-layout" || arg == "--multi-records") {
      if (i + 1 >= args.size()) {
        error = arg + " needs a value";
        return false;
      }
      const std::string& value = args[++i];
      if (arg == "--multi-records" && (value == "12" || value == "16")) {
        options.multiRecords = std::stoi(value);
      } else if (arg == "--tiledata-layout" && (value == "old" || value == "old-wide" || value == "new")) {
        options.tileLayout = value == "old" ? TileLayout::kClassic
                             : value == "new" ? TileLayout::kWideFlags
                                              : TileLayout::kClassicWide;
      } else {
        error = arg + ": not a choice: " + value;
        return false;
      }
    } else if (arg.rfind("-", 0) == 0 || arg.empty() || !dir.empty()) {
      error = arg.rfind("-", 0) == 0 ? "unknown option " + arg : "expected one folder";
      return false;
    } else {
      dir = arg;
    }
  }
  if (dir.empty()) error = "expected one folder";
  return !dir.empty();
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    }
  }
  tilvo::mkclient::ClientOptions options;
  std::string dir;
  std::string error;
  if (!Parse(args, options, dir, error)) {
    std::cerr << "tilvo-mkclient: " << error << "\n" << kUsage;
    return 2;
  }
  if (!tilvo::mkclient::StandardClient(options).Write(dir, error)) {
    std::cerr << "tilvo-mkclient: " << error << "\n";
    return 1;
  }
  return 0;
}
