#include "viewer_options.h"

#include "art_kinds.h"
#include "render_options.h"

namespace tilvo::viewer {
namespace {

constexpr const char* kUsage =
    "usage: tilvo-viewer [--client DIR] [--type KIND|N] [--id N] [--color N] [--flags N] [--properties FILE]";

// A number option and the width of the property it sets.
template <class T>
bool Number(const std::string& name, const std::string& text, int bits, std::optional<T>& out, std::string& error) {
  const std::optional<std::int32_t> value = render_tool::ParseNumber(text, bits);
  if (!value) {
    error = name + ": not a " + std::to_string(bits) + "-bit number: " + text;
    return false;
  }
  out = static_cast<T>(*value);
  return true;
}

}  // namespace

bool ParseViewerOptions(const std::vector<std::string>& args, ViewerOptions& options, std::string& error) {
  for (std::size_t i = 0; i < args.size(); i += 2) {
    const std::string& name = args[i];
    if (i + 1 >= args.size()) {
      error = name.rfind("--", 0) == 0 ? name + ": needs a value" : kUsage;
      return false;
    }
    const std::string& value = args[i + 1];
    bool ok = true;
    if (name == "--client") {
      options.client = value;
    } else if (name == "--properties") {
      options.properties = value;
    } else if (name == "--type") {
      if (const render_tool::ArtKind* kind = render_tool::FindArtKind(value)) {
        options.type = kind->type;
      } else {
        ok = Number(name, value, 16, options.type, error);
      }
    } else if (name == "--index" || name == "--id") {
      ok = Number(name, value, 32, options.index, error);
    } else if (name == "--color") {
      ok = Number(name, value, 16, options.color, error);
    } else if (name == "--flags") {
      ok = Number(name, value, 16, options.flags, error);
    } else {
      error = kUsage;
      return false;
    }
    if (!ok) return false;
  }
  return true;
}

}  // namespace tilvo::viewer
