# Cross-builds the kit's Windows programs (orvosvr.exe) on Debian with
# mingw-w64: g++-mingw-w64-x86-64-posix (the POSIX thread model, which
# std::thread needs), binutils-mingw-w64-x86-64 for windres and
# mingw-w64-tools for windmc. The tests run the programs under Wine.
#
#   cmake -S . -B build-win -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KIT_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KIT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KIT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KIT_MINGW_PREFIX}-windres)
set(KIT_MC_COMPILER ${KIT_MINGW_PREFIX}-windmc)

set(CMAKE_FIND_ROOT_PATH /usr/${KIT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything static, so that the programs need no DLL beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

