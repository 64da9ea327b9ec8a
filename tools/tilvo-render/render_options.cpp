#include "render_options.h"

#include "art_kinds.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <sstream>
#include <string_view>

namespace tilvo::render_tool {

namespace {

// The largest control the tool makes, per side.
constexpr std::int32_t kMaxSide = 32767;
constexpr std::int32_t kMaxPaints = 100000;

// Splits "a,b,c" into numbers of the given widths; false when the count or a number is wrong.
bool ParseFields(const std::string& text, const std::vector<int>& widths, std::vector<std::int32_t>& fields) {
  std::vector<std::string> parts;
  std::stringstream stream(text);
  std::string part;
  while (std::getline(stream, part, ',')) parts.push_back(part);
  if (!text.empty() && text.back() == ',') parts.push_back("");
  if (parts.size() != widths.size()) return false;
  fields.clear();
  for (std::size_t i = 0; i < parts.size(); ++i) {
    std::optional<std::int32_t> v = ParseNumber(parts[i], widths[i]);
    if (!v) return false;
    fields.push_back(*v);
  }
  return true;
}

bool ParseSize(const std::string& text, std::int32_t& width, std::int32_t& height) {
  std::size_t x = text.find('x');
  if (x == std::string::npos) return false;
  auto side = [](const std::string& part, std::int32_t& out) {
    std::optional<std::int32_t> v = ParseNumber(part, 32);
    if (!v || *v < 0 || *v > kMaxSide) return false;
    out = *v;
    return true;
  };
  return side(text.substr(0, x), width) && side(text.substr(x + 1), height);
}

}  // namespace

std::optional<std::int32_t> ParseNumber(const std::string& text, int bits) {
  std::string_view digits = text;
  bool negative = false;
  if (!digits.empty() && digits.front() == '-') {
    negative = true;
    digits.remove_prefix(1);
  }
  int base = 10;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    digits.remove_prefix(2);
  }
  if (digits.empty()) return std::nullopt;
  std::uint64_t magnitude = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, base);
  if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  const std::int64_t lowest = -(std::int64_t{1} << (bits - 1));
  const std::int64_t highest = (std::int64_t{1} << bits) - 1;
  if (magnitude > static_cast<std::uint64_t>(highest)) return std::nullopt;
  std::int64_t value = negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
  if (value < lowest) return std::nullopt;
  // The bit pattern of the field's width, sign-extended.
  const std::uint64_t mask = (std::uint64_t{1} << bits) - 1;
  std::uint64_t pattern = static_cast<std::uint64_t>(value) & mask;
  if (pattern >> (bits - 1)) pattern |= ~mask;
  return static_cast<std::int32_t>(static_cast<std::int64_t>(pattern));
}

bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options, std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& name = args[i];
    if (name == "--print" || name == "--all") {
      (name == "--print" ? options.print : options.all) = true;
      continue;
    }
    static constexpr std::string_view kValued[] = {"--client", "--file",    "--type",         "--index",
                                                   "--color",  "--flags",   "--xoffset",      "--yoffset",
                                                   "--bkcolor", "--size",   "--preview-item", "--hide-static",
                                                   "--paints", "--out",     "--map-centre", "--range", "--out-dir"};
    if (std::find(std::begin(kValued), std::end(kValued), name) == std::end(kValued)) {
      error = name.rfind("-", 0) == 0 ? "unknown option " + name : "unexpected argument " + name;
      return false;
    }
    if (i + 1 >= args.size()) {
      error = name + " needs a value";
      return false;
    }
    const std::string& value = args[++i];
    auto number = [&](int bits) -> std::optional<std::int32_t> {
      std::optional<std::int32_t> v = ParseNumber(value, bits);
      if (!v) error = name + ": not a " + std::to_string(bits) + "-bit number: " + value;
      return v;
    };
    auto small = [&]() -> std::optional<std::int16_t> {
      std::optional<std::int32_t> v = number(16);
      if (!v) return std::nullopt;
      return static_cast<std::int16_t>(*v);
    };
    if (name == "--client") {
      options.client = value;
    } else if (name == "--file") {
      std::size_t eq = value.find('=');
      std::optional<std::int32_t> slot = eq == std::string::npos ? std::nullopt : ParseNumber(value.substr(0, eq), 16);
      if (!slot || eq + 1 >= value.size()) {
        error = "--file: expected SLOT=PATH: " + value;
        return false;
      }
      options.files.push_back({static_cast<std::int16_t>(*slot), value.substr(eq + 1)});
    } else if (name == "--type") {
      // A kind's name, or any 16-bit ArtType.
      if (const ArtKind* kind = FindArtKind(value)) {
        options.type = kind->type;
      } else if (!(options.type = small())) {
        return false;
      }
    } else if (name == "--index") {
      if (!(options.index = number(32))) return false;
    } else if (name == "--color") {
      if (!(options.color = small())) return false;
    } else if (name == "--flags") {
      if (!(options.flags = small())) return false;
    } else if (name == "--xoffset") {
      if (!(options.xoffset = number(32))) return false;
    } else if (name == "--yoffset") {
      if (!(options.yoffset = number(32))) return false;
    } else if (name == "--bkcolor") {
      std::optional<std::int32_t> v = number(32);
      if (!v) return false;
      options.bkcolor = *v;
      options.bkcolorGiven = true;
    } else if (name == "--size") {
      if (!ParseSize(value, options.width, options.height)) {
        error = "--size: expected WxH with sides from 0 to " + std::to_string(kMaxSide) + ": " + value;
        return false;
      }
    } else if (name == "--preview-item" || name == "--hide-static") {
      ListEntry entry;
      entry.hidden = name == "--hide-static";
      std::vector<int> widths = entry.hidden ? std::vector<int>{16, 32, 16, 16, 16, 16} : std::vector<int>{16, 16, 16, 16, 16};
      if (!ParseFields(value, widths, entry.fields)) {
        error = name + (entry.hidden ? ": expected ID,BLOCK,X,Y,Z,COLOR: " : ": expected ID,X,Y,Z,COLOR: ") + value;
        return false;
      }
      options.lists.push_back(std::move(entry));
    } else if (name == "--map-centre") {
      if (!ParseFields(value, {32, 32, 32}, options.mapCentre)) {
        error = "--map-centre: expected FACET,COLUMN,ROW: " + value;
        return false;
      }
    } else if (name == "--paints") {
      std::optional<std::int32_t> v = number(32);
      if (!v) return false;
      if (*v < 1 || *v > kMaxPaints) {
        error = "--paints: expected 1 to " + std::to_string(kMaxPaints) + ": " + value;
        return false;
      }
      options.paints = *v;
    } else if (name == "--range") {
      const std::size_t dash = value.find('-', 1);
      const std::optional<std::int32_t> first = dash == std::string::npos ? std::nullopt : ParseNumber(value.substr(0, dash), 32);
      const std::optional<std::int32_t> last = first ? ParseNumber(value.substr(dash + 1), 32) : std::nullopt;
      if (!last || *first < 0 || *last < *first) {
        error = "--range: expected FIRST-LAST, 0 <= FIRST <= LAST: " + value;
        return false;
      }
      options.rangeFirst = static_cast<std::uint32_t>(*first);
      options.rangeLast = static_cast<std::uint32_t>(*last);
    } else if (name == "--out-dir") {
      options.outDir = value;
    } else {  // --out
      options.out = value;
    }
  }
  if (options.Batch()) {
    if (options.outDir.empty() || options.all == options.rangeFirst.has_value()) {
      error = "a batch export needs --out-dir and either --all or --range";
      return false;
    }
    if (FindArtKind(options.type.value_or(0)) == nullptr) {
      error = "--type: a batch export takes items, land, gumps, textures, lights, multis or npcs";
      return false;
    }
  }
  return true;
}

}  // namespace tilvo::render_tool
