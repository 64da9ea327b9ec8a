#pragma once
// How a container stores an entry's bytes, by the compression word of its
// table record:
//   0  stored as they are (art, maps)
//   1  one zlib stream; the record's decompressed length is the entry's
//   3  rank coded (every gump of current clients): one zlib stream whose
//      inflated block (the record's decompressed length) holds
//        u32        the entry's length N, XOR 0x8E2C9A3D
//        1024 + N   move-to-front coded (the list starts as 0 to 255; byte k
//                   stands for list[k], which then moves to the front):
//          256 × i32  how often each byte value occurs in the entry (they sum to N)
//          N          rank bytes: the values that occur, ordered by count (the
//                     highest first, ties by the lower value), each own a run
//                     of `count` bytes: the first is the value's place in the
//                     starting list, each further one the code of one of its
//                     occurrences but the last
//        padding
//      The entry is made from the front of that list: the front value is the
//      next byte; with a code k left it stays in front (k = 0) or moves to place
//      k, without one it leaves the list.
// Every inconsistency (a stream that does not inflate to the stated length, a
// length word the counts disagree with, a place or code outside the list)
// makes the entry unreadable; nothing is ever read or written outside the
// bytes given.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tilvo {

inline constexpr std::uint16_t kStoredEntry = 0;
inline constexpr std::uint16_t kZlibEntry = 1;
inline constexpr std::uint16_t kRankCodedEntry = 3;

// The zlib stream inflated to exactly inflatedLength bytes; none when it is
// damaged, ends sooner or holds more, or claims more than zlib can make of it.
std::optional<std::vector<std::uint8_t>> Inflate(std::span<const std::uint8_t> stream, std::uint32_t inflatedLength);

// The entry a rank coded block (already inflated) holds; none when it is inconsistent.
std::optional<std::vector<std::uint8_t>> DecodeRankCoding(std::span<const std::uint8_t> block);

// The entry's bytes from its stored bytes by the record's compression word and decompressed length; none for an unknown word or damaged bytes.
std::optional<std::vector<std::uint8_t>> DecodeContainerEntry(std::uint16_t compression,
                                                              std::span<const std::uint8_t> stored,
                                                              std::uint32_t decompressedLength);

}  // namespace tilvo
