// The administration protocol's packets and the limits both ends keep. A
// packet is a 4-byte little-endian signed length, then that many payload
// bytes; there is no terminator, checksum or type field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "wire/byte_reader.h"

namespace wire {

// The length prefix's size.
inline constexpr size_t kLengthSize = 4;
// The largest payload either side sends.
inline constexpr size_t kMaxPayload = 1024;

// A request is a four-letter command word and an argument of at most 259
// characters; user names, passwords and names keep the same limit.
inline constexpr size_t kCommandWordLength = 4;
inline constexpr size_t kMaxNameLength = 259;
inline constexpr size_t kMaxRequestLength = kCommandWordLength + kMaxNameLength;

// A chunk of a fetched file, as the service sends it.
inline constexpr size_t kFetchChunk = 1024;
// A chunk of a stored file, as the service reads it.
inline constexpr size_t kMaxUploadChunk = 1023;
// A chunk of a merged entry, and a whole entry: the service keeps no more.
inline constexpr size_t kMaxEntryChunk = 1024;
inline constexpr size_t kMaxEntryBytes = 8191;
// An acknowledgement: a chunk's byte count in decimal.
inline constexpr size_t kMaxAckLength = 5;
// The passes of an upload's receive loop. A service may count every packet
// against them, so that an upload of more than kUploadPasses - 1 data
// packets never reaches its end marker there.
inline constexpr size_t kUploadPasses = 3000;

// The packet that ends a multi-packet reply or upload: CR LF "." CR LF.
inline constexpr std::string_view kEndMarker = "\r\n.\r\n";
// The packet that ends the spawn list instead: "." CR LF.
inline constexpr std::string_view kSpawnListEnd = ".\r\n";

// Appends a length prefix: `length` in four little-endian bytes.
inline void AppendLength(std::string* out, int32_t length) { AppendU32(out, static_cast<uint32_t>(length)); }

// The wire form of one packet: its length, then the payload.
inline std::string EncodePacket(std::string_view payload) {
  std::string packet;
  packet.reserve(kLengthSize + payload.size());
  AppendLength(&packet, static_cast<int32_t>(payload.size()));
  packet.append(payload);
  return packet;
}

// Reads a length prefix; false (nothing consumed) when fewer than four bytes
// remain.
inline bool ReadLength(ByteReader& reader, int32_t* length) { return reader.ReadI32(length); }

// Reads one whole packet: a length and that many payload bytes. False
// (nothing consumed) when the bytes left hold no whole packet, or its length
// is negative.
inline bool ReadPacket(ByteReader& reader, std::string_view* payload) {
  ByteReader ahead = reader;
  int32_t length = 0;
  if (!ReadLength(ahead, &length) || length < 0 || !ahead.Take(static_cast<size_t>(length), payload)) return false;
  reader = ahead;
  return true;
}

}  // namespace wire
