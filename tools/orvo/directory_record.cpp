#include "tools/orvo/directory_record.h"

#include <array>

#include "wire/byte_reader.h"

namespace orvo {

namespace {

constexpr size_t kMaxNameLength = 259;

struct AttributeLetter {
  uint32_t bit;
  char letter;
};

constexpr std::array<AttributeLetter, 5> kLetters{{
    {kAttrDirectory, 'd'},
    {kAttrReadOnly, 'r'},
    {kAttrHidden, 'h'},
    {kAttrSystem, 's'},
    {kAttrArchive, 'a'},
}};

}  // namespace

int DecodeDirectoryRecords(std::string_view packet, std::vector<DirectoryRecord>* records) {
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

std::string AttributeLetters(uint32_t attributes) {
  std::string letters;
  for (const AttributeLetter& row : kLetters) {
    letters.push_back((attributes & row.bit) ? row.letter : '-');
  }
  return letters;
}

}  // namespace orvo
