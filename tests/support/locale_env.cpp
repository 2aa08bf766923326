#include "support/locale_env.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

#include "locale/format_settings.h"

bool UseLocale(const std::string& name) {
  // The locales live in the build's own folder, named by LOCPATH.
  if (!std::getenv("LOCPATH")) setenv("LOCPATH", LOGSTAMP_TEST_LOCPATH, 1);
  if (!std::setlocale(LC_ALL, name.c_str())) {
    ADD_FAILURE() << "locale " << name << " is not available under LOCPATH="
                  << std::getenv("LOCPATH");
    return false;
  }
  GetFormatSettings();
  return true;
}

void UseCLocale() {
  std::setlocale(LC_ALL, "C");
  GetFormatSettings();
}
