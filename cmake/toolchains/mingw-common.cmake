# What both MinGW-w64 toolchain files share; they set VF_MINGW_TRIPLET and include this.

# The -posix flavour provides std::thread and std::mutex (through winpthreads), which
# the win32-threads flavour of GCC 12 lacks.
set(CMAKE_C_COMPILER ${VF_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VF_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VF_MINGW_TRIPLET}-windres)

if(NOT DEFINED VF_DEPS_PREFIX AND DEFINED ENV{VF_DEPS_PREFIX})
  set(VF_DEPS_PREFIX "$ENV{VF_DEPS_PREFIX}")
endif()
set(VF_DEPS_PREFIX "${VF_DEPS_PREFIX}" CACHE PATH "Prefix holding the cross-built dependencies")
# try_compile() projects read this file again; hand the prefix on to them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VF_DEPS_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${VF_MINGW_TRIPLET})
if(VF_DEPS_PREFIX)
  list(PREPEND CMAKE_FIND_ROOT_PATH "${VF_DEPS_PREFIX}")
  list(PREPEND CMAKE_PREFIX_PATH "${VF_DEPS_PREFIX}")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The MinGW sysroot ships zlib both as libz.a and as the import library libz.dll.a, and
# FindZLIB would take the import library; the shipped DLL must not depend on zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)
