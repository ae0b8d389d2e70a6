# Script mode: fails unless every WinSCard name that one of the Windows programs
# imports is in the test-only winscard.dll's export table, so a new WinSCard
# call in the Windows build cannot meet Wine's stub unnoticed.
#   cmake -DOBJDUMP=... -DEXPORTS=winscard.exports -DPROGRAMS=a.dll,b.exe -P CheckExportsCoverImports.cmake
cmake_minimum_required(VERSION 3.25)
file(STRINGS "${EXPORTS}" lines REGEX "^@ ")
set(exported)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^@ [a-z]+ ([A-Za-z_0-9]+).*" "\\1" name "${line}")
  list(APPEND exported "${name}")
endforeach()

string(REPLACE "," ";" programs "${PROGRAMS}")
set(missing)
foreach(program IN LISTS programs)
  execute_process(COMMAND ${OBJDUMP} -p "${program}" OUTPUT_VARIABLE listing RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "objdump failed on ${program}")
  endif()
  # The import block of WinSCard.dll runs from its "DLL Name" line to the next
  # blank line; each entry is "vma hint name".
  string(REGEX MATCH "DLL Name: [Ww][Ii][Nn][Ss][Cc][Aa][Rr][Dd]\\.[Dd][Ll][Ll]\n[^\n]*\n(([ \t]+[0-9a-f]+[ \t]+[0-9]+[ \t]+[A-Za-z_0-9]+\n)+)" block "${listing}")
  if(block STREQUAL "")
    message(FATAL_ERROR "${program} imports nothing from winscard.dll")
  endif()
  string(REGEX MATCHALL "[0-9]+[ \t]+[A-Za-z_0-9]+\n" entries "${CMAKE_MATCH_1}")
  foreach(entry IN LISTS entries)
    string(REGEX REPLACE "^[0-9]+[ \t]+([A-Za-z_0-9]+)\n" "\\1" name "${entry}")
    if(NOT name IN_LIST exported)
      list(APPEND missing "${name} (${program})")
    endif()
  endforeach()
endforeach()
if(missing)
  message(FATAL_ERROR "not forwarded by ${EXPORTS}: ${missing}")
endif()
