# Cross-builds the 32-bit Windows module TILVO.OCX (for 32-bit hosts) on
# Debian with mingw-w64: g++-mingw-w64-i686-posix, binutils-mingw-w64-i686
# for windres and mingw-w64-tools for widl. The tests run it under Wine's
# 32-bit side (wine32) in a 32-bit prefix. The service is not built here.
#
#   cmake -S . -B build-win32 -G Ninja --toolchain cmake/mingw-w64-i686.cmake -DKIT_BUILD_SERVICE=OFF
set(CMAKE_SYSTEM_PROCESSOR x86)
set(KIT_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
