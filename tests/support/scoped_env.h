// Changes of the process's environment and locale that last for a scope, so
// that a failing assertion in between cannot leak them into later tests.
#pragma once

#include <optional>
#include <string>

// Sets an environment variable for the scope; nullopt unsets it.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// Switches the whole process to locales the tests build (see
// tests/locales/build-locales, reached through LOCPATH) and refills the
// locale settings; when the scope ends, the locale the scope began with is
// back and the settings are refilled from it.
class ScopedLocale {
 public:
  ScopedLocale();
  ~ScopedLocale();
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;

  // Makes NAME (e.g. "ja_JP.UTF-8", or "C") the locale of every category
  // and calls GetFormatSettings. Adds a test failure and returns false when
  // the locale is missing.
  bool Use(const std::string& name);

 private:
  std::string saved_;
};
