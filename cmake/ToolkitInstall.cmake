# Install layout shared by every program: bin/ for the commands, a private
# library folder for the plug-in and the stand-in API (never the system's
# library path, where the stand-in could pass for a real API), manual pages
# generated from each command's --help and --version.
include(GNUInstallDirs)

set(TOOLKIT_PACKAGE_NAME "card-reader-toolkit")
# lib/<multiarch>/card-reader-toolkit whatever the prefix: GNUInstallDirs only
# adds the multiarch folder for the /usr prefix, and the package is built from
# the default one.
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(TOOLKIT_PRIVATE_LIBDIR "lib/${CMAKE_LIBRARY_ARCHITECTURE}/${TOOLKIT_PACKAGE_NAME}")
else()
  set(TOOLKIT_PRIVATE_LIBDIR "lib/${TOOLKIT_PACKAGE_NAME}")
endif()
set(TOOLKIT_DOCDIR "${CMAKE_INSTALL_DATADIR}/doc/${TOOLKIT_PACKAGE_NAME}")
# The Debian package's prefix: the menu entry and the polkit action name the
# programs where the package puts them (polkit reads only /usr/share).
set(TOOLKIT_PACKAGE_PREFIX "/usr")
set(TOOLKIT_PACKAGE_BINDIR "${TOOLKIT_PACKAGE_PREFIX}/${CMAKE_INSTALL_BINDIR}")
set(TOOLKIT_PRIVATE_LIBDIR_FULL "${TOOLKIT_PACKAGE_PREFIX}/${TOOLKIT_PRIVATE_LIBDIR}")
set(TOOLKIT_POLKIT_ACTION "org.example.cardreadertoolkit.calveno")
# The private library folder as seen from bin/: a program that finds it there
# runs from an installed toolkit, whatever the prefix.
file(RELATIVE_PATH TOOLKIT_INSTALLED_MARKER "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${TOOLKIT_PRIVATE_LIBDIR}")

# The one version number, for the programs' --version and the package.
configure_file(${CMAKE_CURRENT_LIST_DIR}/ToolkitVersion.h.in
               ${CMAKE_BINARY_DIR}/generated/ToolkitVersion.h @ONLY)
add_library(toolkit_version INTERFACE)
target_include_directories(toolkit_version INTERFACE ${CMAKE_BINARY_DIR}/generated)

if(NOT WIN32 AND NOT CMAKE_CROSSCOMPILING)
  find_program(HELP2MAN help2man)
  find_program(GZIP gzip)
  if(NOT HELP2MAN OR NOT GZIP)
    message(WARNING "help2man or gzip not found: no manual pages (scripts/setup.sh installs them)")
  endif()
endif()

# Installs a command into bin/ with its manual page, made at build time by
# running the built program with --help and --version. summary is the page's
# one-line description (the NAME section).
function(toolkit_install_program target summary)
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  if(NOT WIN32)
    # A program that loads the plug-in or the stand-in API by its bare name
    # finds it in the private folder once installed.
    set_property(TARGET ${target} PROPERTY INSTALL_RPATH "$ORIGIN;$ORIGIN/../${TOOLKIT_PRIVATE_LIBDIR}")
  endif()
  if(NOT HELP2MAN OR NOT GZIP)
    return()
  endif()
  set(page ${CMAKE_BINARY_DIR}/man/${target}.1)
  # The sections --help cannot give (exit status, files with the installed
  # folders, examples, see also) come from packaging/man/<program>.h2m.in.
  # Their NAME line (English and French, for apropos) replaces summary.
  set(page_options --name=${summary})
  set(page_depends ${target})
  set(include_source ${PROJECT_SOURCE_DIR}/packaging/man/${target}.h2m.in)
  if(EXISTS ${include_source})
    set(include_file ${CMAKE_BINARY_DIR}/man/${target}.h2m)
    configure_file(${include_source} ${include_file} @ONLY)
    set(page_options --include=${include_file})
    list(APPEND page_depends ${include_source})
  endif()
  # gzip -n: no name or time stamp, so the page is the same on every build.
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            ${HELP2MAN} --no-info --no-discard-stderr --section=1 ${page_options}
            --output=${page} $<TARGET_FILE:${target}>
    COMMAND ${GZIP} -9nf ${page}
    DEPENDS ${page_depends}
    COMMENT "Writing the manual page of ${target}"
    VERBATIM)
  add_custom_target(${target}_manpage ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
