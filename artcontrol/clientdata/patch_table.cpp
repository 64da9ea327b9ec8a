#include "artcontrol/clientdata/patch_table.h"

#include <array>

#include "artcontrol/clientdata/byte_reader.h"
#include "artcontrol/platform/file_access.h"

namespace tilvo {
namespace {

// Reads one record; a record cut short by the end of the bytes reads its missing fields as zero.
PatchEntry ReadRecord(ByteReader& reader) {
  std::array<std::uint8_t, kPatchEntrySize> raw{};
  std::span<const std::uint8_t> part;
  const std::size_t take = reader.Remaining() < kPatchEntrySize ? reader.Remaining() : kPatchEntrySize;
  reader.Take(take, part);
  for (std::size_t i = 0; i < part.size(); ++i) raw[i] = part[i];
  ByteReader fields(raw);
  PatchEntry entry;
  fields.ReadU32(entry.fileId);
  fields.ReadU32(entry.block);
  fields.ReadU32(entry.offset);
  fields.ReadU32(entry.length);
  fields.ReadU32(entry.extra);
  return entry;
}

}  // namespace

PatchTable ParsePatchTable(std::span<const std::uint8_t> bytes) {
  PatchTable table;
  ByteReader reader(bytes);
  std::uint32_t count = 0;
  if (!reader.ReadU32(count)) return table;
  const std::size_t present = (reader.Remaining() + kPatchEntrySize - 1) / kPatchEntrySize;
  const std::size_t records = count < present ? count : present;
  table.entries.reserve(records);
  for (std::size_t i = 0; i < records; ++i) table.entries.push_back(ReadRecord(reader));
  return table;
}

PatchTable LoadPatchTable(const std::string& path) {
  std::vector<std::uint8_t> head;
  if (!platform::ReadFileRange(path, 0, 4, head)) return {};
  std::uint32_t count = 0;
  ByteReader(head).ReadU32(count);
  // The read never holds more than the file does, however large the count.
  std::vector<std::uint8_t> bytes;
  const std::uint64_t wanted = 4 + static_cast<std::uint64_t>(count) * kPatchEntrySize;
  if (!platform::ReadFileRange(path, 0, static_cast<std::size_t>(wanted), bytes)) return {};
  return ParsePatchTable(bytes);
}

std::int64_t FindPatch(const PatchTable& table, std::uint32_t fileId, std::uint32_t block) {
  for (std::size_t i = 0; i < table.entries.size(); ++i) {
    if (table.entries[i].fileId == fileId && table.entries[i].block == block) return static_cast<std::int64_t>(i);
  }
  return -1;
}

}  // namespace tilvo
