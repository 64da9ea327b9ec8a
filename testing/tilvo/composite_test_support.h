#pragma once
// Shared by the tests of gumps, textures, lights, multis, map blocks and NPC
// frames: the standard synthetic client written once per test program, a
// picture drawn from it, and the pictures each kind of art should give,
// worked out from the fixture's descriptions rather than from its bytes.

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "artcontrol/clientdata/client_data.h"
#include "artcontrol/render/draw_object.h"
#include "testing/tilvo/render_test_support.h"
#include "testing/temp_folder.h"
#include "testing/tilvo/art_formats.h"
#include "testing/tilvo/standard_art.h"

namespace tilvo::testing {

// The standard client, written to a temporary folder on first use and kept
// for the rest of the test program.
inline const testing_support::TempFolder& StandardClientFolder() {
  static const testing_support::TempFolder folder;
  static const bool written = [] {
    std::string error;
    return mkclient::StandardClient().Write(folder.Path(), error);
  }();
  if (!written) std::abort();
  return folder;
}

// A picture over client data loaded from a folder (the standard client by default).
struct ClientCanvas : Canvas {
  ClientCanvas(std::int32_t w, std::int32_t h, const std::string& dir = StandardClientFolder().Dir()) : Canvas(w, h) {
    LoadClientData(*data, dir);
  }
  // Runs DrawObject for a request of the type and index over the whole picture.
  void Draw(std::int32_t type, std::uint32_t index, std::int32_t xOffset = 0, std::int32_t yOffset = 0,
            std::uint32_t hue = 0, std::uint32_t flags = 0) {
    DrawContext ctx = Context(xOffset, yOffset);
    ctx.previewItems = previewItems;
    ctx.hiddenStatics = hiddenStatics;
    DrawRequest req = Request(type, index);
    req.hue = hue;
    req.flags = flags;
    DrawObject(ctx, req);
  }
  std::vector<std::optional<PreviewItem>> previewItems;
  std::vector<std::optional<HiddenStatic>> hiddenStatics;
};

// The picture a gump should give with its top-left corner at (left, top).
inline PixelBuffer ExpectedGump(const PixelBuffer& background, const mkclient::Gump& gump, std::int64_t left,
                                std::int64_t top) {
  PixelBuffer picture = background;
  for (std::size_t y = 0; y < gump.rows.size(); ++y) {
    std::int64_t x = 0;
    for (const mkclient::GumpRun& run : gump.rows[y]) {
      for (int i = 0; i < run.count; ++i, ++x) {
        if (run.colour != 0) Expect(picture, left + x, top + static_cast<std::int64_t>(y), ToColorRef(run.colour));
      }
    }
  }
  return picture;
}

// The picture a texture or light square should give at (left, top): the first
// `count` values of the square, row after row, through colourOf.
template <typename ColourOf>
PixelBuffer ExpectedSquare(const PixelBuffer& background, const mkclient::Square& square, std::size_t count,
                           std::int64_t left, std::int64_t top, ColourOf colourOf) {
  PixelBuffer picture = background;
  for (std::size_t i = 0; i < count && i < square.values.size(); ++i) {
    Expect(picture, left + static_cast<std::int64_t>(i % square.edge), top + static_cast<std::int64_t>(i / square.edge),
           colourOf(square.values[i]));
  }
  return picture;
}

// The picture frame 0 of an animation should give in a w x h picture with the
// control's scroll, through the hue: rows counted by row-tag changes.
inline PixelBuffer ExpectedFrame(const PixelBuffer& background, const mkclient::Animation& animation, std::int32_t xOffset,
                                 std::int32_t yOffset, std::uint32_t hue, const HueTable& hues) {
  PixelBuffer picture = background;
  const mkclient::AnimFrame& frame = animation.frames.at(0);
  std::int64_t row = picture.h / 2 + yOffset - frame.height + frame.top;
  for (std::size_t c = 0; c < frame.chunks.size(); ++c) {
    const mkclient::AnimChunk& chunk = frame.chunks[c];
    if (c > 0 && chunk.rowTag != frame.chunks[c - 1].rowTag) ++row;
    for (std::size_t k = 0; k < chunk.indexes.size(); ++k) {
      Expect(picture, picture.w / 2 + xOffset + chunk.xShift + static_cast<std::int64_t>(k), row,
             ApplyHue(animation.palette[chunk.indexes[k]], hue, hues));
    }
  }
  return picture;
}

// One item as it should appear: its picture with the top-left corner at (left, top), and its hue.
struct PlacedItem {
  std::uint16_t id;
  std::int64_t left;
  std::int64_t top;
  std::uint32_t hue = 0;
};

// The picture the component items should give, drawn in the order listed.
inline PixelBuffer ExpectedItems(const PixelBuffer& background, const std::vector<PlacedItem>& items,
                                 const HueTable& hues) {
  PixelBuffer picture = background;
  for (const PlacedItem& item : items) {
    picture = ExpectedItem(picture, mkclient::StandardComponentItem(item.id), item.left, item.top, item.hue, hues);
  }
  return picture;
}

}  // namespace tilvo::testing
