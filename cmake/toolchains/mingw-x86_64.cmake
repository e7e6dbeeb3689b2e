# Cross toolchain for the 64-bit Windows build (MinGW-w64, x86_64) on a Debian host.
#
# Usage: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-x86_64.cmake [-DVF_DEPS_PREFIX=<dir>] ...
# VF_DEPS_PREFIX (cache or environment variable) names the prefix that
# scripts/deps/build-mingw-deps.sh filled with the cross-built static libraries.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VF_MINGW_TRIPLET x86_64-w64-mingw32)

include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Test programs and try_run() checks run under Wine. The 64-bit loader is taken first (Debian
# keeps it off PATH, in /usr/lib/wine): Debian's `wine` launcher goes through the 32-bit loader
# whenever wine32 is installed, and that fails on kernels that run no 32-bit programs. Set
# WINEPREFIX and WINEDEBUG=-all in the environment, and create the prefix (wineboot -i) before
# CTest starts: a run that has to create it first can fail.
find_program(VF_WINE_EXECUTABLE NAMES wine64 wine wine-stable PATHS /usr/lib/wine)
if(VF_WINE_EXECUTABLE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${VF_WINE_EXECUTABLE}")
endif()
