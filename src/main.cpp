#include <clocale>

#include "run/format_settings.h"

int main() {
  std::setlocale(LC_ALL, "");
  GetFormatSettings();
  return 0;
}
