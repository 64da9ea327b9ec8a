# Cross-builds the kit's Windows programs (orvosvr.exe, TILVO.OCX) on Debian with
# mingw-w64: g++-mingw-w64-x86-64-posix (the POSIX thread model, which
# std::thread needs), binutils-mingw-w64-x86-64 for windres and
# mingw-w64-tools for windmc and widl. The tests run the programs under Wine.
#
#   cmake -S . -B build-win -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KIT_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
