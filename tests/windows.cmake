# The tests of the Windows build, cross-built and run under Wine: the unit
# tests that hold on every system, the Windows platform layer's own, and the
# end-to-end tests on logstamp.exe. Every test program runs through
# tests/wine/wine-run, the emulator, in the build's prefix under the Japanese
# locale; start the prefix's server first (tests/wine/wine-session start).
set(LOGSTAMP_TEST_LOCPATH ${CMAKE_BINARY_DIR}/locales)
set(LOGSTAMP_WINE_DIR ${CMAKE_BINARY_DIR}/wine)
set(LOGSTAMP_BINARY_DIR ${CMAKE_BINARY_DIR})
configure_file(wine/wine-env.in ${CMAKE_BINARY_DIR}/wine-env @ONLY)
configure_file(wine/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

# Paths as the Windows programs see them: Wine's drive Z: is the root.
function(logstamp_windows_path out path)
  string(REPLACE "/" "\\\\" path "${path}")
  set(${out} "Z:${path}" PARENT_SCOPE)
endfunction()
logstamp_windows_path(LOGSTAMP_EXE_WINDOWS ${CMAKE_BINARY_DIR}/logstamp.exe)
logstamp_windows_path(LOGSTAMP_SOURCE_DIR_WINDOWS ${PROJECT_SOURCE_DIR})

file(GLOB LOGSTAMP_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/support/windows/*.cpp)
add_library(logstamp_test_support STATIC ${LOGSTAMP_TEST_SUPPORT}
            ${CMAKE_CURRENT_SOURCE_DIR}/support/tone_analysis.cpp)
target_include_directories(logstamp_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(logstamp_test_support PUBLIC logstamp_core GTest::gtest)
target_compile_definitions(logstamp_test_support PUBLIC
  LOGSTAMP_EXE="${LOGSTAMP_EXE_WINDOWS}"
  LOGSTAMP_SOURCE_DIR="${LOGSTAMP_SOURCE_DIR_WINDOWS}")

# The unit tests that ask nothing of a POSIX system, and the Windows layer's.
file(GLOB windows_unit_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/platform/windows/*_test.cpp)
set(portable_unit_tests
    convert/line_splitter_test.cpp
    datetime/civil_days_test.cpp
    platform/tone_render_test.cpp)
add_executable(unit_tests ${portable_unit_tests} ${windows_unit_tests})
target_link_libraries(unit_tests PRIVATE logstamp_test_support)
file(GLOB windows_e2e_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/e2e/windows/*_test.cpp)
add_executable(e2e_tests ${windows_e2e_tests})
target_link_libraries(e2e_tests PRIVATE logstamp_test_support)
add_dependencies(e2e_tests logstamp)
foreach(program unit_tests e2e_tests)
  # Listed when ctest starts, under the running Wine server, not at build time.
  gtest_discover_tests(${program}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS windows)
endforeach()

# The Japanese MessageBoxA on an X server, photographed and closed with its
# button (skipped without Xvfb and xdotool), and a Shift_JIS log converted
# by this build under Wine and by the Linux build under ja_JP.SJIS, which
# must give the same bytes (skipped when no Linux build is named).
set(LOGSTAMP_LINUX_EXE "" CACHE FILEPATH "The Linux build's logstamp, for the comparison test")
add_test(NAME message_box_on_a_display
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/wine/message-box-test ${CMAKE_BINARY_DIR})
add_test(NAME same_bytes_as_the_linux_build
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/wine/compare-with-linux ${CMAKE_BINARY_DIR}
                 "${LOGSTAMP_LINUX_EXE}")
set_tests_properties(message_box_on_a_display same_bytes_as_the_linux_build PROPERTIES
  SKIP_RETURN_CODE 77 LABELS windows)
# A log named through a Unix symbolic link, which no Windows program under
# Wine can make.
add_test(NAME symlink_target_converted
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/wine/symlink-test ${CMAKE_BINARY_DIR})
set_tests_properties(symlink_target_converted PROPERTIES LABELS windows)
# The Windows zip: its three files, and the logstamp.exe from it at work.
add_test(NAME package_zip
         COMMAND ${PROJECT_SOURCE_DIR}/tests/package/check-zip ${CMAKE_BINARY_DIR})
set_tests_properties(package_zip PROPERTIES LABELS "windows;package")
