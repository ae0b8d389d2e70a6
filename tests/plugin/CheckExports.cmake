# Fails unless the dynamic symbol table of LIBRARY defines exactly the nine exports.
execute_process(COMMAND nm -D --defined-only "${LIBRARY}"
                OUTPUT_VARIABLE listing RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${listing}")
set(found)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^.* " "" name "${line}")
  list(APPEND found "${name}")
endforeach()
list(SORT found)
set(expected ProConnect ProDisconnect ProExchange ProGetStatus ProIdentify ProInit
             ProReleaseExclusivity ProSetExclusivity ProTermin)
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "exported: ${found}\nexpected: ${expected}")
endif()
message(STATUS "exactly the nine exports: ${found}")
