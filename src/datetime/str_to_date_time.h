// Reading a date, a date and a time, or a time alone, written in the order
// and with the separators and markers of the user's locale.
#pragma once

#include <string_view>

// The date-time value of text: days from 1899-12-30 with the time of day as
// the fraction (subtracted for days before day 0). Raises EConvertError with
// "'TEXT' は日付または時刻ではありません" when text is none.
double StrToDateTime(std::string_view text);

// The same reading without the failure: sets value and returns true, or
// returns false and leaves value as it was. Allocates nothing.
bool TryStrToDateTime(std::string_view text, double& value);
