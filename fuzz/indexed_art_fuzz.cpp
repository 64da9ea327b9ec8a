// The indexed path over an arbitrary index file and data file, with or
// without a patch record: the bytes handed on are never more than the length
// named, always what the file holds there, and never read outside the files.

#include <cstring>
#include <memory>

#include "artcontrol/render/indexed_art.h"
#include "fuzz_files.h"
#include "fuzz_params.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tilvo;
  fuzz::Params p(data, size);
  const std::uint32_t n = p.U8() % 16;
  const bool patched = (p.U8() & 1) != 0;
  PatchEntry patch{12, n, p.U32() % 0x10000, p.U32(), p.U32()};
  const std::span<const std::uint8_t> rest = p.Rest();
  const fuzz::Split split = fuzz::SplitInput(rest.data(), rest.size());
  fuzz::WriteFile("gumpidx.mul", split.first, split.firstSize);
  fuzz::WriteFile("gumpart.mul", split.second, split.secondSize);
  fuzz::WriteFile("verdata.mul", split.second, split.secondSize);
  static const auto client = [] {
    auto d = std::make_unique<ClientData>();
    d->files.SetClientDirectory(fuzz::Folder().string() + "/");
    return d;
  }();
  client->patches.entries.clear();
  if (patched) client->patches.entries.push_back(patch);
  FileSession files;
  const std::optional<IndexedArt> art = LoadIndexedArt(files, *client, {slot::kGumpArt, slot::kGumpIndex, 12}, n);
  if (!art) return 0;
  std::uint64_t offset = patch.offset;
  if (!patched) {
    if (std::uint64_t{n} * 12 + 12 > split.firstSize) __builtin_trap();  // an unreadable record has no offset
    std::uint32_t recordOffset = 0;
    std::memcpy(&recordOffset, split.first + n * 12, 4);
    offset = recordOffset;
  }
  if (art->bytes.size() > art->length) __builtin_trap();
  if (!art->bytes.empty() &&
      (offset + art->bytes.size() > split.secondSize ||
       std::memcmp(art->bytes.data(), split.second + offset, art->bytes.size()) != 0)) {
    __builtin_trap();
  }
  return 0;
}
