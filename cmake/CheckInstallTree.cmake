# Script mode: installs BUILD into PREFIX, checks the files a workstation
# needs are there, then starts each program from the prefix: --version gives
# the toolkit's VERSION, and Quintor binds the stand-in API from the private
# library folder (the loader's trace names the file it initialised).
#   cmake -DBUILD=... -DPREFIX=... -DVERSION=... -DPRIVATE_LIBDIR=...
#         -DPROGRAMS=a,b -P CheckInstallTree.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${PREFIX}"
                OUTPUT_QUIET RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cmake --install ${BUILD} failed")
endif()

string(REPLACE "," ";" programs "${PROGRAMS}")
set(expected
  ${PRIVATE_LIBDIR}/liblumeris.so ${PRIVATE_LIBDIR}/lumeris.ini ${PRIVATE_LIBDIR}/ambrel.xml
  ${PRIVATE_LIBDIR}/tables.ini ${PRIVATE_LIBDIR}/libostrel.so
  share/applications/quintor.desktop share/applications/calveno.desktop
  share/icons/hicolor/scalable/apps/quintor.svg share/icons/hicolor/scalable/apps/calveno.svg
  share/doc/card-reader-toolkit/README.md share/doc/card-reader-toolkit/copyright)
foreach(program IN LISTS programs)
  list(APPEND expected bin/${program} share/man/man1/${program}.1.gz)
endforeach()
set(faults)
foreach(file IN LISTS expected)
  if(NOT EXISTS "${PREFIX}/${file}")
    list(APPEND faults "missing ${file}")
  endif()
endforeach()
# Nothing the stand-in could be mistaken for on the system's library path.
file(GLOB onLibraryPath "${PREFIX}/lib/*.so*" "${PREFIX}/lib/*/*.so*")
foreach(file IN LISTS onLibraryPath)
  list(APPEND faults "library on the system's path: ${file}")
endforeach()

foreach(program IN LISTS programs)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen "${PREFIX}/bin/${program}" --version
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT out MATCHES "^${program} ${VERSION}\n")
    list(APPEND faults "${program} --version: status ${status}, output '${out}${err}'")
  endif()
endforeach()

# Quintor keeps running once started; the loader's trace shows the stand-in
# it bound before the run is stopped.
set(ENV{QT_QPA_PLATFORM} offscreen)
set(ENV{LD_DEBUG} libs)
execute_process(COMMAND "${PREFIX}/bin/quintor" WORKING_DIRECTORY "${PREFIX}"
                TIMEOUT 10 OUTPUT_VARIABLE out ERROR_VARIABLE err)
unset(ENV{LD_DEBUG})
file(REAL_PATH "${PREFIX}/${PRIVATE_LIBDIR}/liblumeris.so" standIn)
string(REGEX MATCH "calling init: [^\n]*liblumeris.so" init "${err}")
if(NOT init)
  list(APPEND faults "quintor did not bind the stand-in API; its output:\n${err}")
else()
  string(REGEX REPLACE "^calling init: " "" bound "${init}")
  file(REAL_PATH "${bound}" bound)
  if(NOT bound STREQUAL standIn)
    list(APPEND faults "quintor bound ${bound}, not the installed ${standIn}")
  endif()
endif()

if(faults)
  list(JOIN faults "\n" report)
  message(FATAL_ERROR "Install tree under ${PREFIX}:\n${report}")
endif()
message(STATUS "Install tree under ${PREFIX}: complete, programs start, stand-in bound")
