# Run by cmake --install: writes the desktop entry, naming the installed
# program by its full path, which is known only now (--prefix P).
# Set before: LOGSTAMP_DESKTOP_IN (the template), LOGSTAMP_BINDIR and
# LOGSTAMP_APPLICATIONS_DIR (both relative to the prefix).
set(program "${CMAKE_INSTALL_PREFIX}/${LOGSTAMP_BINDIR}/logstamp")

# Exec takes a command line: a path holding anything but plain characters is
# put in double quotes, with " ` $ and \ escaped by a backslash. Every string
# value then doubles its backslashes, and Exec writes a % as %%.
set(exec "${program}")
if(NOT exec MATCHES "^[A-Za-z0-9_./+-]+$")
  string(REPLACE "\\" "\\\\" exec "${exec}")
  string(REGEX REPLACE "([\"`$])" "\\\\\\1" exec "${exec}")
  set(exec "\"${exec}\"")
endif()
string(REPLACE "\\" "\\\\" exec "${exec}")
string(REPLACE "%" "%%" exec "${exec}")
string(REPLACE "\\" "\\\\" try_exec "${program}")

set(LOGSTAMP_EXEC "${exec}")
set(LOGSTAMP_TRY_EXEC "${try_exec}")
set(entry "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${LOGSTAMP_APPLICATIONS_DIR}/logstamp.desktop")
message(STATUS "Installing: ${entry}")
configure_file("${LOGSTAMP_DESKTOP_IN}" "${entry}" @ONLY)
