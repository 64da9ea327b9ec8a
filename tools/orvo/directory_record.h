// The records of a GDIR reply. Each data packet holds whole records back to
// back, at most 1024 bytes:
//
//   attributes  4 bytes, unsigned little-endian: the Win32 attribute word
//   name        1 to 259 bytes: the entry's own name
//   terminator  1 zero byte
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvo {

inline constexpr uint32_t kAttrReadOnly = 0x01;
inline constexpr uint32_t kAttrHidden = 0x02;
inline constexpr uint32_t kAttrSystem = 0x04;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;
inline constexpr uint32_t kAttrNormal = 0x80;

struct DirectoryRecord {
  uint32_t attributes = 0;
  std::string name;
};

// Appends the records of one data packet to `records`. Returns the number of
// records read, or -1 when the packet is not a run of whole records (nothing
// is appended then).
int DecodeDirectoryRecords(std::string_view packet, std::vector<DirectoryRecord>* records);

// The attribute word as five letters in the manner of the attrib command:
// d (directory), r (read-only), h (hidden), s (system), a (archive), "-" where
// the bit is clear.
std::string AttributeLetters(uint32_t attributes);

}  // namespace orvo
