# calveno-batch.exe under Wine, with no directory options: tuvex.ini goes to the
# Windows directory that Wine reports (C:\windows of the build's prefix) and the
# card-manager file beside the program. Two runs, so the second archives the first.
#   cmake -DRUN=wine-run.sh -DBATCH=calveno-batch.exe -DPREFIX=... -DGOLDEN=... -DWORK=... -P BatchUnderWine.cmake

execute_process(COMMAND "${RUN}" --check OUTPUT_VARIABLE check RESULT_VARIABLE failed)
if(check MATCHES "\\[  SKIPPED \\]")
  message("${check}")
  return()
endif()
if(failed)
  message(FATAL_ERROR "Wine does not start: ${check}")
endif()

set(windows "${PREFIX}/drive_c/windows")
set(program "${WORK}/program")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${program}")
file(COPY "${BATCH}" DESTINATION "${program}")
get_filename_component(exe "${BATCH}" NAME)
file(REMOVE "${windows}/tuvex.ini" "${windows}/pelkor.ini")

function(expect_same actual expected)
  if(NOT EXISTS "${actual}")
    message(FATAL_ERROR "${actual} was not written")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${actual}" "${expected}" RESULT_VARIABLE differ)
  if(differ)
    file(READ "${actual}" bytes HEX)
    message(FATAL_ERROR "${actual} differs from ${expected}:\n${bytes}")
  endif()
endfunction()

function(run_batch expected_exit)
  execute_process(COMMAND "${RUN}" "${program}/${exe}" ${ARGN}
                  WORKING_DIRECTORY "${WORK}"
                  RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT code STREQUAL "${expected_exit}")
    message(FATAL_ERROR "calveno-batch ${ARGN}: exit ${code}, expected ${expected_exit}\n${out}\n${err}")
  endif()
endfunction()

# First run: one PC/SC reader, the list file.
run_batch(0 --no-reader-check --topology monofente --protocol pcsc --r1-name "Gemalto USB SmartCard Reader 00 00")
expect_same("${windows}/tuvex.ini" "${GOLDEN}/tuvex-monofente-pcsc-cps-ambrel.ini")
expect_same("${program}/pelkor.ini" "${GOLDEN}/pelkor-monofente-cps-ambrel.ini")

# The files exist now: without --yes the overwrite question is declined.
run_batch(1 --no-reader-check --topology monofente --protocol pcsc --r1-name "Other 00 00")
expect_same("${windows}/tuvex.ini" "${GOLDEN}/tuvex-monofente-pcsc-cps-ambrel.ini")

# Second run: two readers, the text file; the first run's files are archived.
run_batch(0 --yes --cnf --no-reader-check --topology deux-ports --protocol pcsc
          --r1-name "Reader A 00 00" --r2-name "Reader B 01 00")
expect_same("${windows}/tuvex.ini" "${GOLDEN}/tuvex-deux-ports-pcsc-ambrel-cps.ini")
expect_same("${program}/pelkor.cnf" "${GOLDEN}/pelkor-deux-lecteurs-r1-ambrel.cnf")
expect_same("${program}/archive-tuvex.ini" "${GOLDEN}/tuvex-monofente-pcsc-cps-ambrel.ini")
expect_same("${program}/archive-pelkor.ini" "${GOLDEN}/pelkor-monofente-cps-ambrel.ini")
if(EXISTS "${program}/pelkor.ini")
  message(FATAL_ERROR "pelkor.ini was kept beside pelkor.cnf")
endif()
file(REMOVE "${windows}/tuvex.ini")
message(STATUS "calveno-batch.exe wrote the expected files under Wine")
