// A container of arbitrary bytes: its table is walked whatever its chain,
// counts and offsets say, every entry it gives is decoded by its compression
// word, and the same bytes are also decoded as a rank coded block; nothing is
// read outside the file or the block.

#include <cstdint>

#include "artcontrol/clientdata/container_codec.h"
#include "artcontrol/clientdata/file_session.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tilvo;
  const std::string path = fuzz::WriteFile("fuzz.uop", data, size);
  FileSession session;
  if (const ContainerTable* table = session.Container(path)) {
    for (const auto& [key, record] : table->records) {
      if (record.offset + record.storedLength > size) __builtin_trap();
      std::vector<std::uint8_t> bytes;
      session.ContainerEntry(path, record);
      session.ContainerEntryRange(path, record, key % 64, 196, bytes);
      if (bytes.size() > 196) __builtin_trap();
    }
  }
  if (const auto entry = DecodeRankCoding({data, size})) {
    if (entry->size() + 1028 > size) __builtin_trap();
  }
  return 0;
}
