// The benchmark program defines open and open64 itself; the dynamic linker
// then binds libtilvo's calls to these, which count and hand on to the C
// library's own through dlsym(RTLD_NEXT).

#include "open_counter.h"

#include <atomic>
#include <cstdarg>

#include <dlfcn.h>
#include <fcntl.h>

namespace {

std::atomic<std::uint64_t> opened{0};

using OpenCall = int (*)(const char*, int, ...);

int Forward(const char* symbol, const char* path, int flags, mode_t mode) {
  static OpenCall open = reinterpret_cast<OpenCall>(dlsym(RTLD_NEXT, "open"));
  static OpenCall open64 = reinterpret_cast<OpenCall>(dlsym(RTLD_NEXT, "open64"));
  OpenCall call = symbol[4] == '6' ? open64 : open;
  opened.fetch_add(1, std::memory_order_relaxed);
  return call(path, flags, mode);
}

mode_t ModeOf(int flags, va_list args) {
  return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? static_cast<mode_t>(va_arg(args, unsigned)) : 0;
}

}  // namespace

extern "C" int open(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeOf(flags, args);
  va_end(args);
  return Forward("open", path, flags, mode);
}

extern "C" int open64(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeOf(flags, args);
  va_end(args);
  return Forward("open64", path, flags, mode);
}

namespace tilvo::bench {

std::uint64_t FilesOpened() { return opened.load(std::memory_order_relaxed); }

}  // namespace tilvo::bench
