# The part of the mingw-w64 toolchain files that both widths share (included
# by mingw-w64-x86_64.cmake and mingw-w64-i686.cmake after they set
# KIT_MINGW_PREFIX and CMAKE_SYSTEM_PROCESSOR). The POSIX thread model
# compilers (the -posix ones) are the ones std::thread needs; windres comes
# with binutils-mingw-w64-*, windmc and widl with mingw-w64-tools.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${KIT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KIT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KIT_MINGW_PREFIX}-windres)
set(KIT_MC_COMPILER ${KIT_MINGW_PREFIX}-windmc)
set(KIT_IDL_COMPILER ${KIT_MINGW_PREFIX}-widl)

set(CMAKE_FIND_ROOT_PATH /usr/${KIT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything static, so that the programs and modules need no DLL beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Release programs and modules ship without their symbol tables (TILVO.OCX
# goes from 1.1 MB to 0.4 MB); a Debug build keeps them for gdb under Wine.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
set(CMAKE_SHARED_LINKER_FLAGS_RELEASE_INIT "-s")
set(CMAKE_MODULE_LINKER_FLAGS_RELEASE_INIT "-s")
