// Switching the whole process to one of the locales the tests build (see
// tests/locales/build-locales), and refilling the locale settings from it.
#pragma once

#include <string>

// Makes NAME (e.g. "ja_JP.UTF-8") the current locale for every category and
// calls GetFormatSettings. Adds a fatal test failure when the locale is
// missing. Returns true on success.
bool UseLocale(const std::string& name);

// Back to the C locale, settings refilled.
void UseCLocale();
