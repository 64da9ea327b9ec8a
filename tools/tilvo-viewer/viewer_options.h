#pragma once
// The command line of tilvo-viewer. Every option is optional: without
// --client the control finds the client through the registry sources.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tilvo::viewer {

struct ViewerOptions {
  std::optional<std::string> client;      // --client DIR
  std::optional<std::int16_t> type;       // --type KIND or N: the grid's kind (items, land, ...) by name or ArtType; 8 the map
  std::optional<std::int32_t> index;      // --id N (or --index N): the entry selected; for the map its centre block
  std::optional<std::int16_t> color;      // --color N: the hue
  std::optional<std::int16_t> flags;      // --flags N: the map's layers (DrawFlags)
  std::optional<std::string> properties;  // --properties FILE: a saved property set to load at start
};

// Parses the arguments after the program name (numbers decimal or 0x
// hexadecimal, fitting the property's width; kinds as tilvo-render names
// them); false with a one-line reason in error.
bool ParseViewerOptions(const std::vector<std::string>& args, ViewerOptions& options, std::string& error);

}  // namespace tilvo::viewer
