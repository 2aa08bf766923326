// Whole conversions of a log held in memory, with random settings (pattern,
// separator, locale): the scan fails only on fewer than two lines; the only
// messages are conversion errors naming EConvertError, never an "other
// error"; the result never holds fewer bytes of entry text than the input
// (every line that is no time stamp comes back, in order, whole or joined
// after a separator); and it is exactly what the scan's rules give when
// played on a plain vector of lines with the same rewriting of each stamp.
//
// Input: byte 0 picks the locale, byte 1 the separator, byte 2 the pattern
// (a value past the list takes the pattern from the first line of the rest);
// the rest is the log, its NUL bytes made blanks (a log with a NUL is never
// loaded).

#include <locale.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "convert/format_log_lines.h"
#include "convert/globals.h"
#include "convert/string_list.h"
#include "convert/timestamp_rewriting.h"
#include "locale/format_settings.h"
#include "platform/charset.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "support/reference_lines.h"

namespace {

const char* const kLocales[] = {"ja_JP.UTF-8", "ja_JP.SJIS", "ja_JP.EUC-JP", "C",
                                "en_US.UTF-8", "de_DE.UTF-8"};
const char* const kPatterns[] = {"yyyy/mm/dd hh:nn", "", "c", "ggge/m/d h:n:s ampm",
                                 "dddd, mmmm d, yyyy", "yy-m-d \"at\" h:nn:ss.zzz",
                                 "ddddd tt", "'quoted' hh:nn", "dd ddd mmm"};
const char kSeparators[] = {'\t', ' ', ','};

void Check(bool condition) {
  if (!condition) std::abort();
}

struct Box {
  std::string caption, text;
  bool operator==(const Box&) const = default;
};

class Recorder : public MessageBoxSink {
 public:
  int Show(std::string_view caption, std::string_view text, unsigned) override {
    boxes.push_back({std::string(caption), std::string(text)});
    return 1;
  }
  std::vector<Box> boxes;
};

int32_t FixedYear() { return 2024; }


// 15 or 16 bytes with the first blank as the 5th or 6th byte.
bool HasStampShape(std::string_view line) {
  if (line.size() != 15 && line.size() != 16) return false;
  const std::size_t blank = line.find(' ');
  return blank == 4 || blank == 5;
}

// The scan's rules on a vector, bottom-up from the last line to the second.
std::vector<std::string> ScanModel(std::vector<std::string> lines) {
  bool join_blocked = false;
  for (std::size_t i = lines.size() - 1; i >= 1; --i) {
    if (!HasStampShape(lines[i])) {
      join_blocked = lines[i].empty();
      continue;
    }
    LineIndex = static_cast<int32_t>(i);  // named by a conversion error
    std::string stamp = TimeDateStringToDateTimeString(lines[i]);
    if (!DateTimeStringToFormatedDateTimeString(stamp)) continue;
    if (i + 1 < lines.size() && !join_blocked) {
      lines[i] = stamp + Separator + lines[i + 1];
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i) + 1);
    } else {
      lines[i] = stamp;
    }
    join_blocked = true;
  }
  return lines;
}

void UseLocale(std::size_t index) {
  static std::size_t current = SIZE_MAX;
  if (index == current) return;
  current = index;
  if (!setlocale(LC_ALL, kLocales[index])) setlocale(LC_ALL, "C");
  GetFormatSettings();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  static Recorder recorder;
  if (!FileList) {
    FileList = new TStringList;
    CurrentFileName = "fuzz.log";
    SetYearSource(FixedYear);
    SetMessageBoxSink(&recorder);
  }
  UseLocale(data[0] % std::size(kLocales));
  Separator = data[1] < 3 * std::size(kSeparators) ? kSeparators[data[1] % std::size(kSeparators)]
                                                   : static_cast<char>(data[1]);
  if (Separator == '\r' || Separator == '\n' || Separator == '\0') Separator = '\t';
  std::string log(reinterpret_cast<const char*>(data) + 3, size - 3);
  for (char& c : log) c = c == '\0' ? ' ' : c;
  if (data[2] < std::size(kPatterns)) {
    DateTimeFormat = kPatterns[data[2]];
  } else {
    const std::size_t end = std::min(log.find_first_of("\r\n"), log.size());
    DateTimeFormat = log.substr(0, end);
    log.erase(0, end);
  }

  const std::vector<std::string> lines = ReferenceLines(log);
  std::unique_ptr<char[]> bytes(new char[log.size()]);
  if (!log.empty()) std::memcpy(bytes.get(), log.data(), log.size());
  FileList->SetText(std::move(bytes), log.size());

  recorder.boxes.clear();
  const bool scanned = FormatLogLines();
  Check(scanned == (lines.size() >= 2));
  if (!scanned) return 0;
  const std::vector<Box> boxes = recorder.boxes;
  for (const Box& box : boxes) {
    Check(box.caption == LocalText("日時変換エラー"));
    Check(box.text.find("EConvertError") != std::string::npos);
  }

  std::vector<std::string> result;
  for (int32_t i = 0; i < FileList->Count(); ++i) result.emplace_back(FileList->Strings(i));

  // Every line that is no time stamp is still there, in order: a whole line,
  // or the end of a line after the separator.
  Check(result[0] == lines[0]);
  std::size_t next = 1;
  auto skip_stamps = [&] {
    while (next < lines.size() && HasStampShape(lines[next])) ++next;
  };
  skip_stamps();
  for (std::size_t i = 1; i < result.size() && next < lines.size(); ++i) {
    const std::string& line = result[i];
    const std::string& text = lines[next];
    if (line == text || (line.size() > text.size() && line[line.size() - text.size() - 1] == Separator &&
                         line.compare(line.size() - text.size(), text.size(), text) == 0)) {
      ++next;
      skip_stamps();
    }
  }
  Check(next == lines.size());

  recorder.boxes.clear();
  Check(ScanModel(lines) == result);
  Check(recorder.boxes == boxes);
  return 0;
}
