# calveno-batch started by name from PATH, in another current folder, as a
# menu entry or a shell starts it: the card-manager files go beside the
# program (a build-tree copy here), never into the current folder.
# Arguments: BATCH (the built program), WORK (a scratch folder).
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/bin" "${WORK}/windows" "${WORK}/elsewhere")
file(COPY "${BATCH}" DESTINATION "${WORK}/bin")
execute_process(
  COMMAND env "PATH=${WORK}/bin:$ENV{PATH}" calveno-batch --windows-dir "${WORK}/windows"
  WORKING_DIRECTORY "${WORK}/elsewhere"
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "calveno-batch ended with ${status}:\n${out}${err}")
endif()
file(GLOB stray "${WORK}/elsewhere/*")
if(stray)
  message(FATAL_ERROR "written into the current folder: ${stray}")
endif()
foreach(expected IN ITEMS bin/pelkor.ini windows/tuvex.ini)
  if(NOT EXISTS "${WORK}/${expected}")
    message(FATAL_ERROR "${expected} was not written")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
