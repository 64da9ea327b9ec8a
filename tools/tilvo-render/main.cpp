// tilvo-render: a command-line host of the Tilvo control that paints one
// picture and writes it to a file. Exits 0 when the picture was painted
// (background alone included), 2 with a one-line message for a bad argument,
// 1 when the file cannot be written; --help prints the options.

#include <iostream>
#include <string>
#include <vector>

#include "render_options.h"
#include "render_run.h"

namespace {

constexpr const char* kUsage =
    "usage: tilvo-render [--client DIR] [OPTION...] [--size WxH] [--out FILE] [--print]\n"
    "       tilvo-render [--client DIR] --type KIND (--all | --range FIRST-LAST) --out-dir DIR [--color N] [--bkcolor N]\n"
    "Paints the Tilvo control once and writes the picture (PNG for *.png, else raw BGR rows); or\n"
    "writes every entry the client holds, or those of a range, as PNG files cut to the art.\n"
    "  --client DIR              the game client's folder (else the registry stand-in)\n"
    "  --file SLOT=PATH          point one client file slot at another file (repeatable)\n"
    "  --type N                  ArtType: 0 items, 1 NPCs, 2 multis, 3 gumps, 4 land, 5 textures,\n"
    "                            6 character test art, 7 lights, 8 map preview; or a KIND: items, land,\n"
    "                            gumps, textures, lights, multis, npcs\n"
    "  --index N                 ArtIndex (for the map preview, the centre block)\n"
    "  --color N                 ArtColor, the hue\n"
    "  --flags N                 DrawFlags\n"
    "  --xoffset N, --yoffset N  shift the art right and down\n"
    "  --bkcolor N               the background as 0x00BBGGRR (default -1)\n"
    "  --preview-item ID,X,Y,Z,COLOR          add a map preview item (repeatable)\n"
    "  --hide-static ID,BLOCK,X,Y,Z,COLOR     leave a static out of the preview (repeatable)\n"
    "  --map-centre FACET,COLUMN,ROW          the map preview around that block of facet 0 or 2, also the\n"
    "                                         eastern blocks (columns 768 to 895) of facet 0's wider map\n"
    "  --size WxH                the picture's size (default 320x240)\n"
    "  --paints N                paint N times (default 1)\n"
    "  --out FILE                write the picture\n"
    "  --print                   print the properties after painting\n"
    "  --all                     export every entry of the type that the client holds\n"
    "  --range FIRST-LAST        export the entries from FIRST to LAST that the client holds\n"
    "  --out-dir DIR             where exported files go (created when missing): item_0x0B4F.png, ...;\n"
    "                            transparent around the art unless --bkcolor is given\n"
    "Exit status: 0 painted, 1 the file could not be written, 2 a bad argument. See tilvo-render(1).\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace tilvo::render_tool;
  std::vector<std::string> args(argv + 1, argv + argc);
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    }
  }
  RenderOptions options;
  std::string error;
  if (!ParseRenderOptions(args, options, error)) {
    std::cerr << "tilvo-render: " << error << "\n";
    return 2;
  }
  int status = RunRender(options, std::cout, error, &std::cerr);
  if (status != 0) std::cerr << "tilvo-render: " << error << "\n";
  return status;
}
