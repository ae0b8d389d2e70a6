# The Debian package: cmake --build --preset default --target package
# writes build/default/card-reader-toolkit_<version>_<arch>.deb.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "${TOOLKIT_PACKAGE_NAME}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "The card-reader toolkit developers")
set(CPACK_PACKAGE_CONTACT "The card-reader toolkit developers <card-reader-toolkit@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tools for smart-card readers: API tester, reader wizard, PC/SC plug-in")
set(CPACK_PACKAGE_DESCRIPTION
    "Quintor tests the card-reading API (a stand-in API with simulated cards is\n"
    "included); Calveno and calveno-batch write the readers' configuration files;\n"
    "the PC/SC plug-in Ostrel talks to the readers through pcscd.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# Dependencies from the libraries the programs link (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The plug-in talks to the readers through the PC/SC daemon.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pcscd")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
