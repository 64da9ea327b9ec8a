#include "artcontrol/clientdata/hue_table.h"

#include "artcontrol/clientdata/byte_reader.h"
#include "artcontrol/platform/file_access.h"

namespace tilvo {
namespace {

constexpr std::size_t kMaxHueFileBytes = kHueBlockLimit * kHueBlockSize;

// Reads the 88 bytes of one HueEntry; false (entry untouched) when fewer are left.
bool ReadHueEntry(ByteReader& reader, HueEntry& entry) {
  std::span<const std::uint8_t> raw;
  if (!reader.Take(kHueEntrySize, raw)) return false;
  ByteReader fields(raw);
  for (std::uint16_t& color : entry.colors) fields.ReadU16(color);
  fields.ReadBytes(entry.rest);
  return true;
}

// One block from up to 708 bytes; the bytes a short block lacks stay zero.
HueBlock ReadHueBlock(std::span<const std::uint8_t> raw) {
  std::array<std::uint8_t, kHueBlockSize> whole{};
  for (std::size_t i = 0; i < raw.size() && i < whole.size(); ++i) whole[i] = raw[i];
  ByteReader reader(whole);
  HueBlock block;
  reader.ReadU32(block.header);
  for (HueEntry& entry : block.entries) ReadHueEntry(reader, entry);
  return block;
}

}  // namespace

HueTable ParseHueFile(std::span<const std::uint8_t> bytes) {
  HueTable table;
  for (std::size_t at = 0; at < bytes.size() && table.blocks.size() < kHueBlockLimit; at += kHueBlockSize) {
    const std::size_t size = bytes.size() - at < kHueBlockSize ? bytes.size() - at : kHueBlockSize;
    table.blocks.push_back(ReadHueBlock(bytes.subspan(at, size)));
  }
  return table;
}

void ApplyHuePatch(HueTable& table, std::uint32_t block, std::span<const std::uint8_t> patch) {
  if (block >= table.blocks.size()) return;
  HueBlock& target = table.blocks[block];
  ByteReader reader(patch);
  std::uint32_t header = 0;
  if (!reader.ReadU32(header)) return;
  target.header = header;
  for (std::size_t k = 0; k < target.entries.size(); ++k) {
    if (!reader.Seek(4 + kHuePatchEntryStride * k)) return;
    HueEntry entry;
    if (!ReadHueEntry(reader, entry)) return;
    target.entries[k] = entry;
  }
}

HueTable LoadHueTable(const std::string& huesPath, const std::string& patchPath, const PatchTable& patches) {
  HueTable table;
  std::vector<std::uint8_t> bytes;
  if (platform::ReadFileRange(huesPath, 0, kMaxHueFileBytes, bytes)) table = ParseHueFile(bytes);
  if (platform::FileSize(patchPath) < 0) return table;
  for (const PatchEntry& record : patches.entries) {
    if (record.fileId != kHuePatchFileId) continue;
    // The record's length is not used: a hue patch is always 1220 bytes.
    std::vector<std::uint8_t> patch;
    if (!platform::ReadFileRange(patchPath, record.offset, kHuePatchSize, patch)) continue;
    ApplyHuePatch(table, record.block, patch);
  }
  return table;
}

const HueEntry* SelectHue(const HueTable& table, std::uint16_t h) {
  const auto blocks = static_cast<std::int64_t>(table.blocks.size());
  if (h == 0 || h > 8 * blocks - 8) return nullptr;
  const std::size_t entry = static_cast<std::size_t>(h) - 1;
  return &table.blocks[entry / 8].entries[entry % 8];
}

HueRecord ReadHueLabel(const HueEntry& entry) {
  HueRecord record;
  ByteReader reader(entry.rest);
  reader.ReadU16(record.tableStart);
  reader.ReadU16(record.tableEnd);
  std::uint8_t c = 0;
  while (reader.ReadU8(c) && c != 0) record.name += static_cast<char>(c);
  return record;
}

}  // namespace tilvo
