# Fails unless the dynamic symbol table of LIBRARY defines exactly the API's 19 names.
execute_process(COMMAND ${NM} -D --defined-only --format=posix ${LIBRARY}
  OUTPUT_VARIABLE sortie RESULT_VARIABLE resultat)
if(NOT resultat EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]+" lignes "${sortie}")
set(noms)
foreach(ligne IN LISTS lignes)
  string(REGEX REPLACE " .*" "" nom "${ligne}")
  list(APPEND noms ${nom})
endforeach()
list(SORT noms)
set(attendus
  Hn_ControleCPS Hn_Finir Hn_Init Hn_IntroductionMstCPS Hn_LectureAmbrel Hn_RetraitMhtCPS
  Hn_TestPresence Lec_ControleCPS Lec_Dictionnaire Lec_FermetureSessionAmbrel
  Lec_FermetureSessionCPS Lec_InformationsAPI Lec_IntroductionMstAmbrel Lec_IntroductionMstCPS
  Lec_LectureAmbrel Lec_OuvertureSessionAmbrel Lec_OuvertureSessionCPS Lec_RetraitMhtAmbrel
  Lec_RetraitMhtCPS)
if(NOT noms STREQUAL attendus)
  message(FATAL_ERROR "Exported names differ.\nExpected: ${attendus}\nFound: ${noms}")
endif()
message(STATUS "liblumeris exports exactly the 19 entry points")
