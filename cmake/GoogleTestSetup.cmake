# Native builds use the machine's GoogleTest; the Windows cross build compiles it from the sources
# that Debian's googletest package installs.
if(CMAKE_CROSSCOMPILING)
  set(VANTOR_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  # Its own CMake project provides the GTest::gtest and GTest::gtest_main aliases.
  add_subdirectory(${VANTOR_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()

include(GoogleTest)

# vantor_add_test(NAME SOURCES... LIBS ...): one test executable whose test cases are registered with
# CTest one by one. They are listed when CTest runs, not at build time, so that a cross build (which
# cannot run its executables while building) registers them the same way.
function(vantor_add_test name)
  cmake_parse_arguments(arg "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
endfunction()
