#include "artcontrol/clientdata/container_codec.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>
#include <numeric>

#include "artcontrol/clientdata/byte_reader.h"

namespace tilvo {

namespace {

// zlib makes at most a little over a thousand bytes of one; a block that
// claims more than this of its stream is refused before anything is allocated.
constexpr std::uint64_t kMostInflatedPerByte = 1040;
constexpr std::uint64_t kSmallestClaim = 1024;

constexpr std::uint32_t kLengthKey = 0x8E2C9A3D;
constexpr std::size_t kValues = 256;
constexpr std::size_t kCountTableSize = kValues * 4;

// The bytes move-to-front coding stands for.
std::vector<std::uint8_t> MoveToFront(std::span<const std::uint8_t> coded) {
  std::array<std::uint8_t, kValues> list{};
  std::iota(list.begin(), list.end(), std::uint8_t{0});
  std::vector<std::uint8_t> out(coded.size());
  for (std::size_t i = 0; i < coded.size(); ++i) {
    const std::uint8_t k = coded[i];
    const std::uint8_t value = list[k];
    std::copy_backward(list.begin(), list.begin() + k, list.begin() + k + 1);
    list[0] = value;
    out[i] = value;
  }
  return out;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> Inflate(std::span<const std::uint8_t> stream, std::uint32_t inflatedLength) {
  if (stream.size() > UINT_MAX || inflatedLength > stream.size() * kMostInflatedPerByte + kSmallestClaim) {
    return std::nullopt;
  }
  // One byte more than claimed, so that a stream holding more fills it and is caught.
  std::vector<std::uint8_t> out(std::size_t{inflatedLength} + 1);
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return std::nullopt;
  z.next_in = const_cast<Bytef*>(stream.data());
  z.avail_in = static_cast<uInt>(stream.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  const int result = inflate(&z, Z_FINISH);
  const uLong made = z.total_out;
  inflateEnd(&z);
  if (result != Z_STREAM_END || made != inflatedLength) return std::nullopt;
  out.resize(inflatedLength);
  return out;
}

std::optional<std::vector<std::uint8_t>> DecodeRankCoding(std::span<const std::uint8_t> block) {
  ByteReader reader(block);
  std::uint32_t word = 0;
  if (!reader.ReadU32(word)) return std::nullopt;
  const std::uint32_t n = word ^ kLengthKey;
  std::span<const std::uint8_t> coded;
  if (reader.Remaining() < kCountTableSize || n > reader.Remaining() - kCountTableSize) return std::nullopt;
  reader.Take(kCountTableSize + n, coded);
  const std::vector<std::uint8_t> decoded = MoveToFront(coded);

  // How often each value occurs: they must sum to the length word.
  ByteReader table(decoded);
  std::array<std::uint32_t, kValues> counts{};
  std::uint64_t sum = 0;
  std::vector<std::uint8_t> present;
  for (std::size_t v = 0; v < kValues; ++v) {
    table.ReadU32(counts[v]);
    if (counts[v] > 0x7FFFFFFF) return std::nullopt;  // a negative count
    sum += counts[v];
    if (counts[v] != 0) present.push_back(static_cast<std::uint8_t>(v));
  }
  if (sum != n) return std::nullopt;
  std::stable_sort(present.begin(), present.end(),
                   [&counts](std::uint8_t a, std::uint8_t b) { return counts[a] > counts[b]; });

  // Each value's run: its place in the starting list, then its codes.
  const std::span<const std::uint8_t> ranks = std::span(decoded).subspan(kCountTableSize);
  std::array<std::uint8_t, kValues> list{};
  std::array<bool, kValues> placed{};
  std::array<std::size_t, kValues> nextCode{};
  std::array<std::size_t, kValues> codesEnd{};
  std::size_t at = 0;
  for (std::uint8_t v : present) {
    const std::uint8_t place = ranks[at];
    if (place >= present.size() || placed[place]) return std::nullopt;
    placed[place] = true;
    list[place] = v;
    nextCode[v] = at + 1;
    codesEnd[v] = at + counts[v];
    at += counts[v];
  }

  std::vector<std::uint8_t> entry;
  entry.reserve(n);
  std::size_t size = present.size();
  while (entry.size() < n) {
    if (size == 0) return std::nullopt;
    const std::uint8_t v = list[0];
    entry.push_back(v);
    if (nextCode[v] < codesEnd[v]) {
      const std::uint8_t k = ranks[nextCode[v]++];
      if (k >= size) return std::nullopt;
      std::copy(list.begin() + 1, list.begin() + k + 1, list.begin());
      list[k] = v;
    } else {
      std::copy(list.begin() + 1, list.begin() + size, list.begin());
      --size;
    }
  }
  return entry;
}

std::optional<std::vector<std::uint8_t>> DecodeContainerEntry(std::uint16_t compression,
                                                              std::span<const std::uint8_t> stored,
                                                              std::uint32_t decompressedLength) {
  switch (compression) {
    case kStoredEntry:
      return std::vector<std::uint8_t>(stored.begin(), stored.end());
    case kZlibEntry:
      return Inflate(stored, decompressedLength);
    case kRankCodedEntry: {
      const std::optional<std::vector<std::uint8_t>> block = Inflate(stored, decompressedLength);
      if (!block) return std::nullopt;
      return DecodeRankCoding(*block);
    }
    default:
      return std::nullopt;
  }
}

}  // namespace tilvo
