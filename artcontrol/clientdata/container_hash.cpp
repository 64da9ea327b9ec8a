#include "artcontrol/clientdata/container_hash.h"

#include <string>

namespace tilvo {

namespace {

constexpr std::uint32_t Rotate(std::uint32_t x, int k) { return (x << k) | (x >> (32 - k)); }

// The twelve-byte step and the final mixing of lookup3, in its published order.
void Mix(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c) {
  a -= c; a ^= Rotate(c, 4);  c += b;
  b -= a; b ^= Rotate(a, 6);  a += c;
  c -= b; c ^= Rotate(b, 8);  b += a;
  a -= c; a ^= Rotate(c, 16); c += b;
  b -= a; b ^= Rotate(a, 19); a += c;
  c -= b; c ^= Rotate(b, 4);  b += a;
}

void Final(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c) {
  c ^= b; c -= Rotate(b, 14);
  a ^= c; a -= Rotate(c, 11);
  b ^= a; b -= Rotate(a, 25);
  c ^= b; c -= Rotate(b, 16);
  a ^= c; a -= Rotate(c, 4);
  b ^= a; b -= Rotate(a, 14);
  c ^= b; c -= Rotate(b, 24);
}

// Bytes at..at+3 of the name as a little-endian word, zeros past its end.
std::uint32_t Word(const std::string& bytes, std::size_t at) {
  std::uint32_t word = 0;
  for (std::size_t i = 0; i < 4 && at + i < bytes.size(); ++i) {
    word |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  }
  return word;
}

}  // namespace

std::uint64_t ContainerNameHash(std::string_view name) {
  std::string bytes(name);
  for (char& ch : bytes) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  }
  std::uint32_t a = 0xDEADBEEF + static_cast<std::uint32_t>(bytes.size());
  std::uint32_t b = a;
  std::uint32_t c = a;
  std::size_t at = 0;
  std::size_t left = bytes.size();
  while (left > 12) {
    a += Word(bytes, at);
    b += Word(bytes, at + 4);
    c += Word(bytes, at + 8);
    Mix(a, b, c);
    at += 12;
    left -= 12;
  }
  // The last one to twelve bytes; an empty name skips the final mixing.
  if (left > 0) {
    a += Word(bytes, at);
    b += Word(bytes, at + 4);
    c += Word(bytes, at + 8);
    Final(a, b, c);
  }
  return std::uint64_t{b} << 32 | c;
}

}  // namespace tilvo
