#pragma once
// Counts the files the process opens, so that a benchmark can report the
// opens per regeneration of the control. The count is kept by wrappers of the
// C library's open calls, linked into the benchmark program only.

#include <cstdint>

namespace tilvo::bench {

// Files opened by the process since it started (0 when the wrappers are not in effect).
std::uint64_t FilesOpened();

}  // namespace tilvo::bench
