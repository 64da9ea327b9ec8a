#include "artcontrol/render/colour.h"

namespace tilvo {

const HueEntry* HueFor(const HueTable& hues, std::uint32_t n) {
  if (n > 0xFFFF) return nullptr;
  return SelectHue(hues, static_cast<std::uint16_t>(n));
}

}  // namespace tilvo
