# Cross-build for 64-bit Windows with Debian's MinGW-w64 (posix thread model, for std::thread and
# std::mutex), every program linked statically so that a bare Windows (or Wine) runs it without DLLs beside
# it. Only the Qt-free part builds this way:
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#     -DTELVARIM_GUI=OFF -DTELVARIM_BENCH=OFF
# GoogleTest is built from the sources in /usr/src/googletest (libgtest-dev), never the host's library, and
# the tests run under Wine when it is installed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(TELVARIM_WINE NAMES wine wine64)
if(TELVARIM_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TELVARIM_WINE})
endif()
