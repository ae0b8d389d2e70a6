# Tests of the Windows build: GoogleTest built from the sources Debian ships
# (there is no mingw build of it), and every test program run under Wine in a
# private prefix inside the build folder, so runs do not depend on ~/.wine.

set(TOOLKIT_GOOGLETEST_SOURCE "/usr/src/googletest/googletest" CACHE PATH
    "GoogleTest sources built for the Windows tests (Debian package googletest)")
if(NOT EXISTS "${TOOLKIT_GOOGLETEST_SOURCE}/CMakeLists.txt")
  message(FATAL_ERROR "GoogleTest sources not found in ${TOOLKIT_GOOGLETEST_SOURCE}: "
                      "install the googletest package (bash scripts/setup-windows.sh)")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory("${TOOLKIT_GOOGLETEST_SOURCE}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)

# Wine is looked for when a test runs, not here: the build needs no Wine, and a
# machine without it reports the tests as skipped instead of failing.
set(TOOLKIT_WINE_PREFIX "${CMAKE_BINARY_DIR}/wineprefix")
# Every retry of a program that Wine failed to start or end is logged here.
set(TOOLKIT_WINE_RETRY_LOG "${CMAKE_BINARY_DIR}/wine-retries.log")
configure_file("${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in" "${CMAKE_BINARY_DIR}/wine-run.sh"
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE
               @ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_BINARY_DIR}/wine-run.sh")
# Listing the tests also needs Wine: do it when the tests run, not after each build.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

# Every test of this build carries the `windows` label, besides its kind.
set_property(DIRECTORY PROPERTY LABELS windows)

# The one test that always shows whether the Windows tests could run here.
add_test(NAME Wine.Available COMMAND "${CMAKE_BINARY_DIR}/wine-run.sh" --check)
set_tests_properties(Wine.Available PROPERTIES SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")

# Paths that the tests are compiled with are the build machine's; Wine reaches
# its root through drive Z:.
set(TOOLKIT_TEST_PATH_PREFIX "Z:")

# The tests are listed when ctest starts, each listing under a time limit: make
# the prefix during the build (once; the script does nothing where it exists).
add_custom_target(wine-prefix ALL
  COMMAND "${CMAKE_BINARY_DIR}/wine-run.sh" --check
  COMMENT "Preparing the Wine prefix of the Windows tests"
  VERBATIM)
