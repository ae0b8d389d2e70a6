# A window program given an option it does not know answers with one line on
# standard error and exit status 2, before it opens a display: there is none
# here (QT_QPA_PLATFORM=xcb without DISPLAY aborts any program that tries).
# Arguments: PROGRAM, OPTION.
execute_process(
  COMMAND env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "${PROGRAM}" "${OPTION}"
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
string(REGEX MATCHALL "\n" lines "${err}")
list(LENGTH lines count)
if(NOT status EQUAL 2 OR NOT out STREQUAL "" OR NOT count EQUAL 1 OR NOT err MATCHES "'${OPTION}'")
  message(FATAL_ERROR "${PROGRAM} ${OPTION}: status ${status}, output [${out}], errors [${err}]")
endif()
message(STATUS "${err}")
