# Script mode: fails unless every test of the build tree BUILD carries one of the
# kinds the README lists (unit, gui, integration, install, windows), so that
# `ctest -L <kind>` runs all of them.
#   cmake -DCTEST=ctest -DBUILD=... -P CheckTestLabels.cmake
set(kinds "^(unit|gui|integration|install|windows)$")
# The tests whose labels match none of the kinds.
execute_process(COMMAND "${CTEST}" --test-dir "${BUILD}" -N -LE "${kinds}"
                OUTPUT_VARIABLE unlabelled RESULT_VARIABLE failed)
execute_process(COMMAND "${CTEST}" --test-dir "${BUILD}" -N
                OUTPUT_VARIABLE all RESULT_VARIABLE failed_all)
if(failed OR failed_all OR NOT all MATCHES "Total Tests: ([0-9]+)")
  message(FATAL_ERROR "ctest could not list the tests of ${BUILD}")
endif()
set(count ${CMAKE_MATCH_1})
if(count EQUAL 0)
  message(FATAL_ERROR "no tests listed in ${BUILD}")
endif()
if(NOT unlabelled MATCHES "Total Tests: 0\n")
  string(REGEX MATCHALL "Test +#[0-9]+: [^\n]+" names "${unlabelled}")
  list(JOIN names "\n  " text)
  message(FATAL_ERROR "tests without a kind label (${kinds}):\n  ${text}")
endif()
message("all ${count} tests carry a kind label")
