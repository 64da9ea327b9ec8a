// The records of a GDIR reply. Each data packet holds whole records back to
// back, at most kMaxPayload bytes:
//
//   attributes  4 bytes, unsigned little-endian: the Win32 attribute word
//   name        1 to 259 bytes: the entry's own name
//   terminator  1 zero byte
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "wire/byte_reader.h"
#include "wire/packet.h"

namespace wire {

inline constexpr uint32_t kAttrReadOnly = 0x01;
inline constexpr uint32_t kAttrHidden = 0x02;
inline constexpr uint32_t kAttrSystem = 0x04;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;
inline constexpr uint32_t kAttrNormal = 0x80;

// What a record adds to its name: the attribute word and the terminator.
inline constexpr size_t kRecordOverhead = 5;

struct DirectoryRecord {
  uint32_t attributes = 0;
  std::string name;
};

// Appends one record to a packet being built.
inline void AppendDirectoryRecord(std::string* packet, uint32_t attributes, std::string_view name) {
  AppendU32(packet, attributes);
  packet->append(name);
  packet->push_back('\0');
}

// Appends the records of one data packet to `records`. Returns the number of
// records read, or -1 when the packet is not a run of whole records (nothing
// is appended then).
inline int DecodeDirectoryRecords(std::string_view packet, std::vector<DirectoryRecord>* records) {
  std::vector<DirectoryRecord> found;
  ByteReader reader(packet);
  while (reader.Remaining() > 0) {
    DirectoryRecord record;
    std::string_view name;
    if (!reader.ReadU32(&record.attributes) || !reader.ReadZeroTerminated(&name)) return -1;
    if (name.empty() || name.size() > kMaxNameLength) return -1;
    record.name = std::string(name);
    found.push_back(std::move(record));
  }
  records->insert(records->end(), found.begin(), found.end());
  return static_cast<int>(found.size());
}

}  // namespace wire
