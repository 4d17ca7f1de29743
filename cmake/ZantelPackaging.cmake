# The installed tree and its packages.
#
# Natively: the programs in bin/, the module with its language and help files in lib/zantel/
# (the host and the module look for those files beside the module), the read-me in
# share/doc/zantel/; a Debian package of that tree (cpack -G DEB). The programs link the
# project's libraries statically and need only the system's shared ones, so no run path is
# written and the tree may be moved as a whole.
#
# For Windows: only what a Far user copies into Far's Plugins folder, under Zantel/ (the DLL,
# the language and help files and ReadMe.txt in CR LF lines); a ZIP of that folder.
#
# Every file is in the component "Zantel", which cpack packs alone: the third-party sources
# the Windows build compiles bring install rules of their own.

set(ZANTEL_PACKAGE_MAINTAINER "Zantel developers <zantel@example.org>"
    CACHE STRING "The Maintainer field of the Debian package")

file(GLOB zantel_language_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/lang/*.lng
     ${PROJECT_SOURCE_DIR}/lang/*.hlf)

if(WIN32)
  set(zantel_module_dir Zantel)
  # Far users read it in the console's OEM code page with Notepad as likely as not: plain ASCII
  # with CR LF line ends.
  set(zantel_readme ${PROJECT_BINARY_DIR}/packaging/ReadMe.txt)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/ReadMe.txt ${zantel_readme} @ONLY
                 NEWLINE_STYLE CRLF)
  install(FILES ${zantel_readme} DESTINATION ${zantel_module_dir} COMPONENT Zantel)
else()
  set(zantel_module_dir ${CMAKE_INSTALL_LIBDIR}/zantel)
  install(TARGETS zantel-tui zantel-phonesim zantel-tool RUNTIME
          DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Zantel)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/zantel
          COMPONENT Zantel)
endif()
install(TARGETS zantel LIBRARY DESTINATION ${zantel_module_dir} COMPONENT Zantel)
install(FILES ${zantel_language_files} DESTINATION ${zantel_module_dir} COMPONENT Zantel)

set(CPACK_PACKAGE_NAME zantel)
set(CPACK_PACKAGE_VENDOR "Zantel")
set(CPACK_PACKAGE_CONTACT "${ZANTEL_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Mobile phone's phone book and SMS as file panels of Far Manager 1.70")
set(CPACK_PACKAGE_DESCRIPTION
    "Zantel turns a GSM mobile phone on a serial port into file panels of the Far Manager 1.70
file manager: the phone book's memories are folders and their entries files, the SMS folders
hold the messages. This package holds the plug-in built for Linux (zantel.so) with zantel-tui,
a terminal program that plays Far's part for it, the phone simulator zantel-phonesim and the
diagnostic tool zantel-tool.")
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};Zantel;/")
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_STRIP_FILES ON)
# A source package would sweep up every build folder of the checkout; the sources are in git.
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/\\\\.cache/")

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "Zantel-${PROJECT_VERSION}-Far1.70-win32")
  # The archive's one folder is Zantel/ itself, ready to unpack into Far's Plugins folder.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION comm)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZANTEL_PACKAGE_MAINTAINER}")
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

include(CPack)
