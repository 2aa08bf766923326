#include "support/scoped_env.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

#include "locale/format_settings.h"

ScopedEnv::ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
  if (const char* old = std::getenv(name)) old_ = old;
  if (value) {
    setenv(name, value->c_str(), 1);
  } else {
    unsetenv(name);
  }
}

ScopedEnv::~ScopedEnv() {
  if (old_) {
    setenv(name_, old_->c_str(), 1);
  } else {
    unsetenv(name_);
  }
}

ScopedLocale::ScopedLocale() {
  const char* current = std::setlocale(LC_ALL, nullptr);
  saved_ = current ? current : "C";
}

ScopedLocale::~ScopedLocale() {
  std::setlocale(LC_ALL, saved_.c_str());
  GetFormatSettings();
}

bool ScopedLocale::Use(const std::string& name) {
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
