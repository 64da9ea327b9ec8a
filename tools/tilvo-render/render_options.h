#pragma once
// The command line of tilvo-render. Numbers are decimal or 0x hexadecimal,
// optionally negative; each must fit the width of what it sets, read either
// as signed or as unsigned, and is then taken as that width's bit pattern.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tilvo::render_tool {

// One --preview-item or --hide-static, in the order given.
struct ListEntry {
  bool hidden = false;                 // --hide-static rather than --preview-item
  std::vector<std::int32_t> fields;    // ID,X,Y,Z,COLOR or ID,BLOCK,X,Y,Z,COLOR
};

// One --file SLOT=PATH.
struct CustomFile {
  std::int16_t slot = 0;
  std::string path;
};

struct RenderOptions {
  std::optional<std::string> client;   // --client DIR; none: the registry's
  std::vector<CustomFile> files;
  std::optional<std::int16_t> type;
  std::optional<std::int32_t> index;
  std::optional<std::int16_t> color;
  std::optional<std::int16_t> flags;
  std::optional<std::int32_t> xoffset;
  std::optional<std::int32_t> yoffset;
  std::int32_t bkcolor = -1;
  std::int32_t width = 320;
  std::int32_t height = 240;
  std::vector<ListEntry> lists;
  std::vector<std::int32_t> mapCentre; // --map-centre FACET,COLUMN,ROW; empty: none
  std::int32_t paints = 1;
  std::string out;                     // empty: no file written
  bool print = false;
  bool bkcolorGiven = false;           // --bkcolor was given (a batch export is transparent otherwise)
  // A batch export: one file per entry the client holds, into outDir.
  bool all = false;                    // --all: every entry of the type
  std::optional<std::uint32_t> rangeFirst;  // --range FIRST-LAST: the entries from FIRST to LAST
  std::optional<std::uint32_t> rangeLast;
  std::string outDir;                  // --out-dir DIR
  bool Batch() const { return all || rangeFirst || !outDir.empty(); }
};

// The number text as a value that fits a field of `bits` bits read as signed
// or unsigned, returned as that width's signed bit pattern; none otherwise.
std::optional<std::int32_t> ParseNumber(const std::string& text, int bits);

// Parses the arguments after the program name; false with a one-line reason in error.
bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options, std::string& error);

}  // namespace tilvo::render_tool
