#pragma once
// The two host-filled lists of the map preview: preview items and hidden
// statics. An entry's index is its position; removing one entry leaves its
// slot empty, so other indexes stay valid and none is reused until the whole
// list is cleared.

#include <cstdint>
#include <optional>
#include <vector>

#include "tilvo/tilvo.h"

namespace tilvo {

template <typename Record>
class SlotList {
 public:
  // Appends a record; its index, which is the list's length before (empty slots count).
  std::int32_t Append(const Record& record) {
    slots_.push_back(record);
    return static_cast<std::int32_t>(slots_.size() - 1);
  }
  // Empties the first non-empty slot equal to record, from index 0; no match changes nothing.
  void RemoveFirst(const Record& record) {
    for (std::optional<Record>& slot : slots_) {
      if (slot && *slot == record) {
        slot.reset();
        return;
      }
    }
  }
  // Empties the slot at index; an index outside the list is ignored.
  void RemoveAt(std::int32_t index) {
    if (index >= 0 && static_cast<std::size_t>(index) < slots_.size()) slots_[static_cast<std::size_t>(index)].reset();
  }
  // Drops every record; the next append returns 0.
  void Clear() { slots_.clear(); }
  // The slots in index order.
  const std::vector<std::optional<Record>>& Slots() const { return slots_; }

 private:
  std::vector<std::optional<Record>> slots_;
};

// The record AddPreviewItem forms from map position (x, y): block (x / 8) *
// 512 + (y / 8) and position x % 8, y % 8 within it (both truncating toward
// zero, so a negative coordinate keeps the low 8 bits of a negative
// remainder), and the low 8 bits of z.
PreviewItem MakePreviewItem(std::int16_t ID, std::int16_t x, std::int16_t y, std::int16_t z, std::int16_t color);

// The record AddHideStatic forms: every field as given, x, y and z cut to their low 8 bits.
HiddenStatic MakeHiddenStatic(std::int16_t ID, std::int32_t Block, std::int16_t x, std::int16_t y, std::int16_t z,
                              std::int16_t color);

}  // namespace tilvo
