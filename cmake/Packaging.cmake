# The Debian package: cmake --build --preset default --target package
# writes build/default/card-reader-toolkit_<version>_<arch>.deb.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "${TOOLKIT_PACKAGE_NAME}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "The card-reader toolkit developers")
set(TOOLKIT_PACKAGE_MAINTAINER "Card-reader toolkit developers <card-reader-toolkit@example.org>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${TOOLKIT_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tools for smart-card readers: API tester, reader wizard, PC/SC plug-in")
# Concatenated from quoted pieces: a list expansion would take the semicolons
# of the text for separators and drop them.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Quintor tests the card-reading API (a stand-in API with simulated cards is\n"
    "included); Calveno and calveno-batch write the readers' configuration files;\n"
    "the PC/SC plug-in Ostrel talks to the readers through pcscd.")
set(CPACK_PACKAGING_INSTALL_PREFIX "${TOOLKIT_PACKAGE_PREFIX}")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# Dependencies from the libraries the programs link (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The plug-in talks to the readers through the PC/SC daemon; the menu entry
# starts Calveno through pkexec.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pcscd, pkexec")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# A native package carries its changelog, compressed without name or time
# stamp; its date is SOURCE_DATE_EPOCH's when set, so builds can repeat.
string(TIMESTAMP changelogDate "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE ${CMAKE_BINARY_DIR}/packaging/changelog
  "${TOOLKIT_PACKAGE_NAME} (${PROJECT_VERSION}) unstable; urgency=medium\n\n"
  "  * Release ${PROJECT_VERSION}.\n\n"
  " -- ${TOOLKIT_PACKAGE_MAINTAINER}  ${changelogDate}\n")
execute_process(COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/packaging/changelog
                OUTPUT_FILE ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${TOOLKIT_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ${TOOLKIT_PACKAGE_NAME})
# The card-manager folder is made at install and emptied at purge by the
# maintainer scripts: an absolute install() destination would also be made by
# every plain cmake --install, outside its prefix.
foreach(script IN ITEMS postinst postrm)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/${script}.in ${CMAKE_BINARY_DIR}/packaging/${script}
                 @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                 WORLD_READ WORLD_EXECUTE)
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    "${CMAKE_BINARY_DIR}/packaging/postinst;${CMAKE_BINARY_DIR}/packaging/postrm")
include(CPack)
