# Cross-building logstamp.exe for 64-bit Windows with Debian's mingw-w64
# (g++-mingw-w64-x86-64-posix): posix threads, and the C++ and C runtimes
# linked statically, so that the program needs no DLL beside it. The GUI
# subsystem (-mwindows), the version resource and the application manifest
# are the program target's own (see CMakeLists.txt): the test programs stay
# console programs.
#
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LOGSTAMP_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${LOGSTAMP_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LOGSTAMP_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${LOGSTAMP_MINGW_TRIPLE}-windres)

# Libraries and packages only from the mingw tree (and what a build installs
# for it, such as GoogleTest, named by its GTest_DIR); programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${LOGSTAMP_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
