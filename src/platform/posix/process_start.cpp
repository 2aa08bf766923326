#include "platform/process_start.h"

#include <clocale>
#include <csignal>

void SetUpProcess() {
  std::setlocale(LC_ALL, "");
  // A write past the file-size limit must fail with an error, not kill us.
  std::signal(SIGXFSZ, SIG_IGN);
  // So must a message written to a closed pipe (logstamp ... 2>&1 | head):
  // a message that cannot be shown never stops the run.
  std::signal(SIGPIPE, SIG_IGN);
}
