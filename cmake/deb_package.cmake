# The Debian package's layout, as the install component "deb", and CPack's
# settings for building the package from it (cpack -G DEB in the build
# folder). The component is left out of a plain cmake --install.
#
#   /usr/lib/logstamp/logstamp       the program
#   /usr/bin/logstamp                -> ../lib/logstamp/logstamp
#   /usr/lib/logstamp/logstamp.ini   -> /etc/logstamp/logstamp.ini
#   /etc/logstamp/logstamp.ini       a conffile: the example settings, commented out
#   /usr/share/man/man1/logstamp.1.gz
#   /usr/share/applications/logstamp.desktop (Exec=/usr/bin/logstamp %F)
#   /usr/share/doc/logstamp/copyright, changelog.gz
#
# The program reads the settings beside its resolved path, so run as
# /usr/bin/logstamp it reads /usr/lib/logstamp/logstamp.ini, the link to
# /etc. That link crosses top-level folders and is absolute, as Debian wants
# such links; the link in /usr stays relative.
set(deb_dir ${CMAKE_BINARY_DIR}/deb)
set(deb_sources ${PROJECT_SOURCE_DIR}/packaging/deb)
file(MAKE_DIRECTORY ${deb_dir})

# Compressed copies of the man page and the changelog, without a name or a
# time stamp in the gzip header so that the package is reproducible.
foreach(source data/logstamp.1 packaging/deb/changelog)
  get_filename_component(name ${source} NAME)
  add_custom_command(
    OUTPUT ${deb_dir}/${name}.gz
    COMMAND sh -c "gzip -9n -c \"$1\" >\"$2\"" sh ${PROJECT_SOURCE_DIR}/${source} ${deb_dir}/${name}.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/${source}
    VERBATIM)
  list(APPEND deb_compressed ${deb_dir}/${name}.gz)
endforeach()
add_custom_target(deb_files ALL DEPENDS ${deb_compressed})

file(CREATE_LINK ../lib/logstamp/logstamp ${deb_dir}/bin-logstamp SYMBOLIC)
file(CREATE_LINK /etc/logstamp/logstamp.ini ${deb_dir}/logstamp.ini SYMBOLIC)
file(WRITE ${deb_dir}/conffiles "/etc/logstamp/logstamp.ini\n")

install(TARGETS logstamp RUNTIME DESTINATION lib/logstamp COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${deb_dir}/bin-logstamp DESTINATION bin RENAME logstamp
        COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${deb_dir}/logstamp.ini DESTINATION lib/logstamp COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${deb_sources}/logstamp.ini DESTINATION /etc/logstamp COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${deb_dir}/logstamp.1.gz DESTINATION share/man/man1 COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${deb_sources}/copyright ${deb_dir}/changelog.gz DESTINATION share/doc/logstamp
        COMPONENT deb EXCLUDE_FROM_ALL)
install(CODE "
  set(LOGSTAMP_DESKTOP_IN \"${PROJECT_SOURCE_DIR}/data/logstamp.desktop.in\")
  set(LOGSTAMP_BINDIR bin)
  set(LOGSTAMP_APPLICATIONS_DIR share/applications)
" COMPONENT deb EXCLUDE_FROM_ALL)
install(SCRIPT ${PROJECT_SOURCE_DIR}/cmake/install_desktop_entry.cmake
        COMPONENT deb EXCLUDE_FROM_ALL)

# CPack installs the component with DESTDIR set to its staging folder and the
# prefix /usr, so that /etc stays /etc and the desktop entry names
# /usr/bin/logstamp.
set(CPACK_GENERATOR DEB)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};logstamp;deb;/")
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_NAME logstamp)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "rewrite the time stamps of Notepad-style logs into sortable ones")
set(CPACK_PACKAGE_DESCRIPTION
    "A Notepad-style log begins with the line .LOG and heads each entry with a
time stamp such as 9:05 2003/06/19. logstamp rewrites such logs in place:
each stamp is read in the user's locale, written again with a sortable
pattern and joined with the first line of its entry. The settings are in
/etc/logstamp/logstamp.ini.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER
    "logstamp developers <maintainers@users.noreply.c-seed-9e64e16f.example>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS zenity)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${deb_dir}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
