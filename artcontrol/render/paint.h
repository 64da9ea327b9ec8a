#pragma once
// The paint sequence: fills the picture once per change (background, then the
// object) and otherwise only copies it to the screen.

#include <cstdint>
#include <optional>
#include <span>

#include "artcontrol/automation/control_state.h"
#include "artcontrol/clientdata/client_data.h"
#include "artcontrol/render/art_cache.h"
#include "artcontrol/render/art_size_table.h"
#include "tilvo/pixel_buffer.h"
#include "tilvo/preview_records.h"
#include "tilvo/site.h"

namespace tilvo {

// What the picture is regenerated with, owned by the control.
struct RenderResources {
  PixelBuffer pixels;
  ArtCache artCache;
  ArtSizeTable artSizes;
  ContainerCache containers;  // the tables of the client's containers
};

// The host's map preview lists, slot by slot (an empty slot is a removed record).
struct PreviewLists {
  std::span<const std::optional<PreviewItem>> items;
  std::span<const std::optional<HiddenStatic>> hidden;
};

// DrawFlags bits 8 to 15: the map preview's facet selector.
inline constexpr std::uint16_t kFacetBits = 0xFF00;

// The paint sequence for the bounds: nothing while not loaded; a valid
// picture is only copied; otherwise the picture is refilled with the
// background and shown, ArtColor is reset for types other than 0 and 1, and an
// ArtIndex in range (or past it, where the type reaches as far as the client's
// entries and the client holds that one) is drawn and the picture marked
// valid: an NPC's body number becomes its animation entry and ArtType its set
// (1, 9 or 10); a map preview draws the blocks around ArtIndex (or the centre
// the state names) with the lists. Out of range, the background stays and
// the next paint regenerates again.
void Paint(ControlState& state, RenderResources& render, const ClientData& data, const Rect& bounds,
           TilvoSite& site, const PreviewLists& lists = {});

}  // namespace tilvo
