# Native builds use Debian's libgtest-dev; the Windows build compiles Debian's
# googletest source tree with the cross compiler.
if(CMAKE_CROSSCOMPILING)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # The cross-built library sees our warnings as its own; keep its build quiet.
  target_compile_options(gtest PRIVATE -w)
  target_compile_options(gtest_main PRIVATE -w)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# One test executable; each case becomes a CTest test, listed when CTest runs
# (so a Windows suite is only started under Wine inside a test session).
function(nb_use_test_emulator name)
  if(CMAKE_CROSSCOMPILING)
    set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-test.sh)
  endif()
endfunction()

function(nb_add_test_suite name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE GTest::gtest_main GTest::gtest)
  target_compile_definitions(${name} PRIVATE NB_TEST_DATA_DIR="${NB_TEST_DATA_DIR}")
  nb_use_test_emulator(${name})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT 300)
endfunction()

if(CMAKE_CROSSCOMPILING)
  # Wine sees the Unix root as drive Z:.
  set(NB_TEST_DATA_DIR "Z:${CMAKE_SOURCE_DIR}/tests/data")
else()
  set(NB_TEST_DATA_DIR "${CMAKE_SOURCE_DIR}/tests/data")
endif()
