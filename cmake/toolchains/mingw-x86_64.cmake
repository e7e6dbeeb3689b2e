# Cross toolchain for the 64-bit Windows build (MinGW-w64, x86_64) on a Debian host.
#
# Usage: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-x86_64.cmake [-DVF_DEPS_PREFIX=<dir>] ...
# VF_DEPS_PREFIX (cache or environment variable) names the prefix that
# scripts/deps/build-mingw-deps.sh filled with the cross-built static libraries.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VF_MINGW_TRIPLET x86_64-w64-mingw32)

include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Test programs and try_run() checks run under Wine. Debian's `wine` launcher starts
# 64-bit PE files itself (wine64 is not on PATH there). Set WINEPREFIX and
# WINEDEBUG=-all in the environment, and create the prefix (wineboot -i) before CTest
# starts: a run that has to create it first can fail.
find_program(VF_WINE_EXECUTABLE NAMES wine wine64 wine-stable)
if(VF_WINE_EXECUTABLE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${VF_WINE_EXECUTABLE}")
endif()
