# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-builds the native Windows program (64-bit) with Debian's mingw-w64,
# the POSIX-threads flavour of its GCC (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TAKHMIN_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TAKHMIN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAKHMIN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TAKHMIN_MINGW_TRIPLET}-windres)

# Libraries and headers come from the mingw-w64 tree only; programs that run
# during the build (rsvg-convert, icotool) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${TAKHMIN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
