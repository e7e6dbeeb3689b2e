# Cross toolchain for the 32-bit Windows build (MinGW-w64, i686) on a Debian host.
#
# Usage: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-i686.cmake [-DVF_DEPS_PREFIX=<dir>] ...
# VF_DEPS_PREFIX (cache or environment variable) names the prefix that
# scripts/deps/build-mingw-deps.sh filled with the cross-built static libraries.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(VF_MINGW_TRIPLET i686-w64-mingw32)

# x87 arithmetic rounds through 80-bit registers, so results would depend on register
# allocation; SSE2 arithmetic gives the same answers as the 64-bit build.
# Added as compile options rather than CMAKE_<LANG>_FLAGS_INIT, which a -DCMAKE_CXX_FLAGS
# on the command line would silently replace.
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-msse2;-mfpmath=sse>")

include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# 32-bit programs cannot run on this host (no wine32), so no emulator is set.
