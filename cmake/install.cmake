# cmake --install: the program, its man page, a desktop entry for file
# managers and launchers, and an example settings file. The settings file the
# program reads lies beside the executable (bin/logstamp.ini); the example is
# documentation only.
include(GNUInstallDirs)

install(TARGETS logstamp RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/logstamp.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/examples/logstamp.ini DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(CODE "
  set(LOGSTAMP_DESKTOP_IN \"${PROJECT_SOURCE_DIR}/data/logstamp.desktop.in\")
  set(LOGSTAMP_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
  set(LOGSTAMP_APPLICATIONS_DIR \"${CMAKE_INSTALL_DATADIR}/applications\")
")
install(SCRIPT ${PROJECT_SOURCE_DIR}/cmake/install_desktop_entry.cmake)

# The Debian package's layout, an install component of its own.
include(${PROJECT_SOURCE_DIR}/cmake/deb_package.cmake)
