# Test programs of the Windows build run under Wine, in a prefix private to
# this build folder.
set(NB_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_SOURCE_DIR}/scripts/wine-exec.sh.in ${CMAKE_BINARY_DIR}/wine-exec.sh
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE @ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-exec.sh)
# The GoogleTest suites' emulator: the same, and a process that Wine ends
# before its main() runs is reported so and run once more.
configure_file(${CMAKE_SOURCE_DIR}/scripts/wine-test.sh.in ${CMAKE_BINARY_DIR}/wine-test.sh
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE @ONLY)
