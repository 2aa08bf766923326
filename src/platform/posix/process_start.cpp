#include "platform/process_start.h"

#include <clocale>
#include <csignal>

void SetUpProcess() {
  std::setlocale(LC_ALL, "");
  // A write past the file-size limit must fail with an error, not kill us.
  std::signal(SIGXFSZ, SIG_IGN);
}
