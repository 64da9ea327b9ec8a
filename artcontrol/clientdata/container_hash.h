#pragma once
// The key under which a container's table names an entry: a 64-bit hash of
// the entry's name ("build/artlegacymul/00016384.tga"), taken over the name in
// lower-case ASCII. It is Bob Jenkins' lookup3 hash (hashlittle2) with both
// seeds 0; the key is the second result in the high half and the primary one
// in the low half.

#include <cstdint>
#include <string_view>

namespace tilvo {

// The table key of an entry name.
std::uint64_t ContainerNameHash(std::string_view name);

}  // namespace tilvo
