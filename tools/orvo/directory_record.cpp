#include "tools/orvo/directory_record.h"

#include <array>

namespace orvo {

namespace {

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

std::string AttributeLetters(uint32_t attributes) {
  std::string letters;
  for (const AttributeLetter& row : kLetters) {
    letters.push_back((attributes & row.bit) ? row.letter : '-');
  }
  return letters;
}

}  // namespace orvo
