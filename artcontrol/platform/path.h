#pragma once
// How this system writes a path: the one separator that ends a folder and
// joins it to a file name. Paths are UTF-8 on every system, so no byte of a
// multi-byte character equals the separator.

namespace tilvo::platform {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

}  // namespace tilvo::platform
