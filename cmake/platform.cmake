# Operating-system libraries the platform layer uses.
# iconv, nl_langinfo and mbrlen come with glibc; nothing to link for them.
