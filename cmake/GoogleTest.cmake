# GoogleTest is built from Debian's source package with the lane's own compiler, MinGW included.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/third_party/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# vf_add_gtest(name SOURCES ... LIBS ... [PROPERTIES ...]): one test executable whose cases CTest
# lists one by one; PROPERTIES (name value pairs) apply to each of them.
function(vf_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main vf_warnings)
  if(VF_RUN_TESTS)
    # Listing at test time keeps a cross build from needing the emulator while it builds.
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120 ${ARG_PROPERTIES})
  endif()
endfunction()
