#pragma once
// The control's state as its properties and painting keep it: what the host
// sets through the interface, and the flags painting reads and rewrites.

#include <cstdint>
#include <optional>

namespace tilvo {

// The centre of a map preview: a facet (0 or 2) and a block on it, column × 512 + row.
struct MapCentre {
  int facet = 0;
  std::uint32_t block = 0;
  bool operator==(const MapCentre&) const = default;
};

// The control state that painting reads, and the parts it rewrites.
struct ControlState {
  std::int16_t artType = 0;
  std::uint32_t artIndex = 0;
  std::uint16_t artColor = 0;   // reset to 0 by paint for every type but 0 and 1
  std::uint16_t drawFlags = 0;  // bits 8 to 15 rewritten by map preview paints
  std::int32_t xOffset = 0;
  std::int32_t yOffset = 0;
  std::int32_t bkColor = -1;    // 0x00BBGGRR, or -1 for the button-face colour
  std::int32_t readyState = 1;  // painting happens only while it is 2
  bool modified = false;        // the container should save the control's state
  bool pictureValid = false;    // the picture is the current one: paint only copies it
  // A map preview centre the host named directly (the C++ interface's
  // SetMapCentre), which ArtIndex may not be able to name; any other choice of
  // ArtType or ArtIndex forgets it.
  std::optional<MapCentre> mapCentre;
};

}  // namespace tilvo
