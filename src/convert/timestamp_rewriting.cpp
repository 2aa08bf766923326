#include "convert/timestamp_rewriting.h"

#include <cstdint>
#include <cstring>
#include <utility>

#include "convert/globals.h"
#include "datetime/fast_stamp.h"
#include "datetime/format_date_time.h"
#include "datetime/str_to_date_time.h"
#include "platform/charset.h"
#include "platform/exceptions.h"
#include "platform/expand_file_name.h"
#include "platform/message_box.h"
#include "text/ansi_pos.h"
#include "text/ascii.h"

namespace {

// The fast path of the run's pattern and locale values, prepared on the
// first stamp and again only when one of them changed.
FastStampForm FastStamp;

void ShowConversionBox(std::string text) {
  if (DeferredConversionErrors) {
    DeferredConversionErrors->push_back(std::move(text));
  } else {
    ShowMessageBox(LocalText("日時変換エラー"), text, 'e');
  }
}

void ShowConversionError(const Exception& failure) {
  std::string text = ShownText(ExpandFileName(CurrentFileName));
  text += LocalText("、旧");
  text += std::to_string(LineIndex + 1);
  text += LocalText("行目 での ");
  text += failure.ClassName();
  text += "\r\n";
  text += ShownText(failure.Message);  // quotes the line of the log
  ShowConversionBox(std::move(text));
}

}  // namespace

void TimeDateStringToDateTimeString(std::string_view S, std::string& Result) {
  const std::string_view trimmed = TrimControlAndBlanks(S);
  const std::size_t p = AnsiPos(" ", trimmed);
  const std::string_view time = p == 0 ? std::string_view() : trimmed.substr(0, p - 1);
  const std::string_view date = trimmed.substr(p);
  const auto at = reinterpret_cast<std::uintptr_t>(S.data());
  const auto own = reinterpret_cast<std::uintptr_t>(Result.data());
  if (at >= own && at - own <= Result.size()) {  // S lies in Result: swap through a copy
    const std::string copy(S);
    TimeDateStringToDateTimeString(copy, Result);
    return;
  }
  Result.resize(date.size() + 1 + time.size());
  char* out = Result.data();
  if (!date.empty()) std::memcpy(out, date.data(), date.size());
  out[date.size()] = ' ';
  if (!time.empty()) std::memcpy(out + date.size() + 1, time.data(), time.size());
}

std::string TimeDateStringToDateTimeString(std::string_view S) {
  std::string result;
  TimeDateStringToDateTimeString(S, result);
  return result;
}

bool DateTimeStringToFormatedDateTimeString(std::string& S) {
  try {
    if (!FastStampFormIsCurrent(FastStamp, DateTimeFormat)) {
      FastStamp = PrepareFastStamp(DateTimeFormat);
    }
    char text[FormatDateTimeMaxLength];
    std::size_t length;
    if (!FastStampTo(FastStamp, S, text, length)) {  // any doubt: the reader and the writer
      double value;
      if (!TryStrToDateTime(S, value)) value = StrToDateTime(S);  // raises with its message
      length = FormatDateTimeTo(text, DateTimeFormat, value);
    }
    S.assign(text, length);
    return true;
  } catch (const EConvertError& failure) {
    ShowConversionError(failure);
  } catch (...) {
    ShowConversionBox(LocalText("function-DateTimeStringToFormatedDateTimeString、その他のエラー"));
  }
  return false;
}
