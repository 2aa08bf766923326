#include <sys/stat.h>

#include "platform/file_io.h"

bool ExistsAndIsNoFolder(const std::string& name) {
  struct stat st;
  return ::stat(name.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}
