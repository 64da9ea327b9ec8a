#pragma once
// Writes the containers ("MYP\0" files) in which current clients keep art,
// gumps, maps and multis, and turns a client folder of index and data files
// into its container twin: the same art, stored the way current installs
// store it.
//
// A written container has the 40-byte header, the entries (each after a
// 12-byte header of its own) and then its table in blocks of 100 records,
// the records in the order of their keys (so never in the order of the
// entries), the last block filled up with empty records.

#include <cstdint>
#include <string>
#include <vector>

#include "testing/tilvo/synthetic_client.h"

namespace tilvo::mkclient {

// How an entry is stored: as it is, as one zlib stream, or rank coded.
enum class Storage : std::uint16_t { kStored = 0, kZlib = 1, kRankCoded = 3 };

// The table key of an entry name (the hash the control looks entries up by).
std::uint64_t EntryKey(const std::string& name);

// One zlib stream of the bytes.
Bytes Deflate(const Bytes& bytes);
// Move-to-front coding (the list starts as 0 to 255; each byte becomes its
// place in the list and moves to the front).
Bytes MoveToFrontCode(const Bytes& plain);
// The block a rank coded entry inflates to: the length word, the coded
// counts and ranks, and `padding` zero bytes.
Bytes RankCode(const Bytes& entry, std::size_t padding = 4);

class ContainerWriter {
 public:
  // Adds an entry under name.
  void Add(const std::string& name, const Bytes& entry, Storage storage);
  // The container file.
  Bytes Build() const;

 private:
  struct Entry {
    std::string name;
    Bytes stored;
    std::uint32_t length;  // the decompressed length the record states
    Storage storage;
  };
  std::vector<Entry> entries_;
};

// The files of folder with art.mul, gumpart.mul, map0.mul, map2.mul and
// multi.mul (and their index files) replaced by their containers: art and
// maps stored, gumps rank coded, multis in zlib streams. multiRecords is the
// size of multi.mul's components (12 or 16).
ClientFolder ContainerTwin(const ClientFolder& folder, int multiRecords = 12);

}  // namespace tilvo::mkclient
