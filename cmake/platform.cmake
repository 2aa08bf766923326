# Operating-system libraries the platform layer uses.
# iconv, nl_langinfo and mbrlen come with glibc; nothing to link for them.
# On Windows the layer uses kernel32 and user32 alone, which every program
# links.
if(WIN32)
  return()
endif()

# Tones through the sound device: ALSA's libasound when it is there (Debian:
# libasound2-dev); without it the tones fall back to the terminal bell.
option(LOGSTAMP_ALSA "Play tones through ALSA when libasound is found" ON)
if(LOGSTAMP_ALSA)
  find_package(ALSA QUIET)
endif()
if(LOGSTAMP_ALSA AND ALSA_FOUND)
  target_link_libraries(logstamp_core PUBLIC ALSA::ALSA)
  target_compile_definitions(logstamp_core PRIVATE LOGSTAMP_HAVE_ALSA=1)
else()
  message(STATUS "ALSA not used: tones fall back to the terminal bell")
endif()

# The background writer of a save runs on a thread of its own.
find_package(Threads REQUIRED)
target_link_libraries(logstamp_core PUBLIC Threads::Threads)
