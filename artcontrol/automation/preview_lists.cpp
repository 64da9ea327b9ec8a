#include "artcontrol/automation/preview_lists.h"

namespace tilvo {

namespace {

// The preview's block numbering, whatever facet is shown.
constexpr std::int32_t kBlocksPerColumn = 512;
constexpr std::int32_t kBlockCells = 8;

std::uint8_t Low8(std::int32_t v) { return static_cast<std::uint8_t>(v & 0xFF); }

}  // namespace

PreviewItem MakePreviewItem(std::int16_t ID, std::int16_t x, std::int16_t y, std::int16_t z, std::int16_t color) {
  PreviewItem item;
  item.id = static_cast<std::uint16_t>(ID);
  item.block = (x / kBlockCells) * kBlocksPerColumn + y / kBlockCells;
  item.x = Low8(x % kBlockCells);
  item.y = Low8(y % kBlockCells);
  item.z = Low8(z);
  item.color = static_cast<std::uint16_t>(color);
  return item;
}

HiddenStatic MakeHiddenStatic(std::int16_t ID, std::int32_t Block, std::int16_t x, std::int16_t y, std::int16_t z,
                              std::int16_t color) {
  HiddenStatic hidden;
  hidden.id = static_cast<std::uint16_t>(ID);
  hidden.x = Low8(x);
  hidden.y = Low8(y);
  hidden.z = Low8(z);
  hidden.color = static_cast<std::uint16_t>(color);
  hidden.block = Block;
  return hidden;
}

}  // namespace tilvo
