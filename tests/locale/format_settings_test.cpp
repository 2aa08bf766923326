#include "locale/format_settings.h"
#include "text/mbchar.h"

#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <cstdio>
#include <string>

#include "platform/charset.h"
#include "support/scoped_env.h"

namespace {

// Every value one locale gives. Texts are UTF-8 here and compared in the
// locale's charset; name lists are joined by '|', each era slot is written
// "name offset".
struct LocaleCase {
  const char* locale;
  const char* shortDate;
  const char* longDate;
  const char* shortTime;
  const char* longTime;
  char dateSeparator;
  char timeSeparator;
  char decimalSeparator;
  const char* am;
  const char* pm;
  const char* shortMonths;
  const char* longMonths;
  const char* shortDays;
  const char* longDays;
  const char* eras;
  uint16_t priLangID;
  uint16_t subLangID;
  bool farEast;
  int32_t optionalCalendar;
  const char* leadBytes;  // ranges of LeadBytes
};

constexpr const char* kEnglishShortMonths = "Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec";
constexpr const char* kEnglishLongMonths =
    "January|February|March|April|May|June|July|August|September|October|November|December";
constexpr const char* kEnglishShortDays = "Sun|Mon|Tue|Wed|Thu|Fri|Sat";
constexpr const char* kEnglishLongDays = "Sunday|Monday|Tuesday|Wednesday|Thursday|Friday|Saturday";
constexpr const char* kJapaneseShortMonths =
    " 1月| 2月| 3月| 4月| 5月| 6月| 7月| 8月| 9月|10月|11月|12月";
constexpr const char* kJapaneseLongMonths = "1月|2月|3月|4月|5月|6月|7月|8月|9月|10月|11月|12月";
constexpr const char* kJapaneseShortDays = "日|月|火|水|木|金|土";
constexpr const char* kJapaneseLongDays = "日曜日|月曜日|火曜日|水曜日|木曜日|金曜日|土曜日";
constexpr const char* kJapaneseEras = "令和 2019|平成 1989|昭和 1926|大正 1912|明治 1868|西暦 1| -1";
constexpr const char* kNoEras = " 0| 0| 0| 0| 0| 0| 0";
constexpr const char* kUtf8LeadBytes = "C2-F4";

const LocaleCase kCases[] = {
    {.locale = "ja_JP.UTF-8",
     .shortDate = "yyyy年MM月dd日",
     .longDate = "yyyy年MM月dd日",
     .shortTime = "hh:mm",
     .longTime = "hh:mm:ss",
     .dateSeparator = '/',  // 年 is no one-byte separator
     .timeSeparator = ':',  // nor is 時
     .decimalSeparator = '.',
     .am = "午前",
     .pm = "午後",
     .shortMonths = kJapaneseShortMonths,
     .longMonths = kJapaneseLongMonths,
     .shortDays = kJapaneseShortDays,
     .longDays = kJapaneseLongDays,
     .eras = kJapaneseEras,
     .priLangID = 17,
     .subLangID = 1,
     .farEast = true,
     .optionalCalendar = 3,
     .leadBytes = kUtf8LeadBytes},
    {.locale = "ja_JP.SJIS",
     .shortDate = "yyyy年MM月dd日",
     .longDate = "yyyy年MM月dd日",
     .shortTime = "hh:mm",
     .longTime = "hh:mm:ss",
     .dateSeparator = '/',
     .timeSeparator = ':',
     .decimalSeparator = '.',
     .am = "午前",
     .pm = "午後",
     .shortMonths = kJapaneseShortMonths,
     .longMonths = kJapaneseLongMonths,
     .shortDays = kJapaneseShortDays,
     .longDays = kJapaneseLongDays,
     .eras = kJapaneseEras,
     .priLangID = 17,
     .subLangID = 1,
     .farEast = true,
     .optionalCalendar = 3,
     .leadBytes = "81-9F E0-EA"},
    {.locale = "en_US.UTF-8",
     .shortDate = "MM/dd/yyyy",
     .longDate = "ddd dd MMM yyyy",
     .shortTime = "hh:mm AMPM",  // T_FMT is %r: %I:%M:%S %p
     .longTime = "hh:mm:ss AMPM",
     .dateSeparator = '/',
     .timeSeparator = ':',
     .decimalSeparator = '.',
     .am = "AM",
     .pm = "PM",
     .shortMonths = kEnglishShortMonths,
     .longMonths = kEnglishLongMonths,
     .shortDays = kEnglishShortDays,
     .longDays = kEnglishLongDays,
     .eras = kNoEras,
     .priLangID = 9,
     .subLangID = 1,
     .farEast = true,  // UTF-8 has multi-byte characters
     .optionalCalendar = 1,
     .leadBytes = kUtf8LeadBytes},
    {.locale = "de_DE.UTF-8",
     .shortDate = "dd.MM.yyyy",
     .longDate = "ddd dd MMM yyyy",
     .shortTime = "hh:mm",
     .longTime = "hh:mm:ss",
     .dateSeparator = '.',
     .timeSeparator = ':',
     .decimalSeparator = ',',
     .am = "",  // empty markers stay empty
     .pm = "",
     .shortMonths = "Jan|Feb|Mär|Apr|Mai|Jun|Jul|Aug|Sep|Okt|Nov|Dez",
     .longMonths = "Januar|Februar|März|April|Mai|Juni|Juli|August|September|Oktober|November|"
                   "Dezember",
     .shortDays = "So|Mo|Di|Mi|Do|Fr|Sa",
     .longDays = "Sonntag|Montag|Dienstag|Mittwoch|Donnerstag|Freitag|Samstag",
     .eras = kNoEras,
     .priLangID = 7,
     .subLangID = 1,
     .farEast = true,
     .optionalCalendar = 1,
     .leadBytes = kUtf8LeadBytes},
    {.locale = "zh_TW.UTF-8",
     .shortDate = "yyyy年MM月dd日",
     .longDate = "yyyy年MM月dd日 (dddd)",
     .shortTime = "hh:mm",
     .longTime = "hh:mm:ss",
     .dateSeparator = '/',
     .timeSeparator = ':',
     .decimalSeparator = '.',
     .am = "上午",
     .pm = "下午",
     .shortMonths = kJapaneseShortMonths,
     .longMonths = "一月|二月|三月|四月|五月|六月|七月|八月|九月|十月|十一月|十二月",
     .shortDays = "日|一|二|三|四|五|六",
     .longDays = "週日|週一|週二|週三|週四|週五|週六",
     .eras = "民國 1912| -1| -1| -1| -1| -1| -1",  // 民前 counts back: not listed
     .priLangID = 4,
     .subLangID = 1,
     .farEast = true,
     .optionalCalendar = 4,
     .leadBytes = kUtf8LeadBytes},
    // The custom locales of tests/locales/custom.
    {.locale = "ja_XX.UTF-8",
     // Era conversions under the era calendar: gg becomes ggg, yy ee.
     .shortDate = "gggeeMMdd",
     // Quoted text is walked too: "day y" becomes "dae e".
     .longDate = R"(dddd", "'"'d'"'" "MMMM gggee"年 dae e")",
     .shortTime = "AMPM hh:mm",
     .longTime = "AMPM hh:mm:ss",
     .dateSeparator = '\0',  // %Ey%m: empty
     .timeSeparator = ':',   // U+00B7: two bytes
     .decimalSeparator = '.',
     .am = "a.m.",
     .pm = "p.m.",
     .shortMonths = " 1月| 2月| 3月| 4月|May| 6月| 7月| 8月| 9月|10月|11月|12月",
     .longMonths = "睦月|如月|弥生|卯月|皐月|水無月|文月|葉月|長月|神無月|霜月|December",
     .shortDays = "Sun|月|火|水|木|金|土",
     .longDays = "日曜日|月曜日|火曜日|水曜日|木曜日|金曜日|Saturday",
     // The first seven names that count forward, each with its first entry.
     .eras = "未来 2026|令和 2019|平成 1989|昭和 1926|大正 1912|明治 1868|慶応 1865",
     .priLangID = 17,
     .subLangID = 1,
     .farEast = true,
     .optionalCalendar = 3,
     .leadBytes = kUtf8LeadBytes},
    {.locale = "ko_XX.UTF-8",
     // Era conversions without an era calendar: the era letters go.
     .shortDate = "yy/MM/dd",
     .longDate = "yy MMM dd일 (ddd)",
     .shortTime = "h:mm",
     .longTime = "h:mm:ss",
     .dateSeparator = '/',
     .timeSeparator = '.',
     .decimalSeparator = '.',
     .am = "오전",
     .pm = "오후",
     .shortMonths = " 1월| 2월| 3월| 4월| 5월| 6월| 7월| 8월| 9월|10월|11월|12월",
     .longMonths = "1월|2월|3월|4월|5월|6월|7월|8월|9월|10월|11월|12월",
     .shortDays = "일|월|화|수|목|금|토",
     .longDays = "일요일|월요일|화요일|수요일|목요일|금요일|토요일",
     .eras = kNoEras,
     .priLangID = 18,
     .subLangID = 1,
     .farEast = true,
     .optionalCalendar = 1,
     .leadBytes = kUtf8LeadBytes},
    {.locale = "xx_XX.UTF-8",
     // A language without era letters keeps them; it has eras but no era calendar.
     .shortDate = "d. M. yy gg",
     .longDate = "mmmm d, yyyy",  // D_T_FMT without a date
     .shortTime = "h:mm AMPM",    // T_FMT without an hour
     .longTime = "h:mm:ss AMPM",
     .dateSeparator = '/',     // ". "
     .timeSeparator = ':',
     .decimalSeparator = '.',  // U+066B: two bytes
     .am = "atm",
     .pm = "ptm",
     .shortMonths = "jan|feb|mar|apr|maj|jun|jul|aŭg|sep|okt|nov|dec",
     .longMonths = "januaro|februaro|marto|aprilo|majo|junio|julio|aŭgusto|septembro|oktobro|"
                   "novembro|decembro",
     .shortDays = "dim|lun|mar|mer|ĵaŭ|ven|sab",
     .longDays = "dimanĉo|lundo|mardo|merkredo|ĵaŭdo|vendredo|sabato",
     .eras = kNoEras,
     .priLangID = 9,
     .subLangID = 1,
     .farEast = true,
     .optionalCalendar = 1,
     .leadBytes = kUtf8LeadBytes},
    {.locale = "C.UTF-8",
     .shortDate = "MM/dd/yy",
     .longDate = "ddd MMM d",
     .shortTime = "hh:mm",
     .longTime = "hh:mm:ss",
     .dateSeparator = '/',
     .timeSeparator = ':',
     .decimalSeparator = '.',
     .am = "AM",
     .pm = "PM",
     .shortMonths = kEnglishShortMonths,
     .longMonths = kEnglishLongMonths,
     .shortDays = kEnglishShortDays,
     .longDays = kEnglishLongDays,
     .eras = kNoEras,
     .priLangID = 9,
     .subLangID = 1,
     .farEast = true,
     .optionalCalendar = 1,
     .leadBytes = kUtf8LeadBytes},
    {.locale = "POSIX",
     .shortDate = "MM/dd/yy",
     .longDate = "ddd MMM d",
     .shortTime = "hh:mm",
     .longTime = "hh:mm:ss",
     .dateSeparator = '/',
     .timeSeparator = ':',
     .decimalSeparator = '.',
     .am = "AM",
     .pm = "PM",
     .shortMonths = kEnglishShortMonths,
     .longMonths = kEnglishLongMonths,
     .shortDays = kEnglishShortDays,
     .longDays = kEnglishLongDays,
     .eras = kNoEras,
     .priLangID = 9,
     .subLangID = 1,
     .farEast = false,
     .optionalCalendar = 1,
     .leadBytes = ""},
};

template <std::size_t N>
std::string Joined(const std::array<std::string, N>& names) {
  std::string joined;
  for (std::size_t i = 1; i < N; ++i) joined += (i > 1 ? "|" : "") + names[i];
  return joined;
}

std::string ErasJoined() {
  std::string joined;
  for (int i = 1; i <= 7; ++i) {
    joined += (i > 1 ? "|" : "") + EraNames[i] + " " + std::to_string(EraYearOffsets[i]);
  }
  return joined;
}

std::string LeadByteRanges() {
  std::string ranges;
  char text[16];
  for (int b = 0; b < 256;) {
    if (!LeadBytes[b]) {
      ++b;
      continue;
    }
    const int first = b;
    while (b < 256 && LeadBytes[b]) ++b;
    std::snprintf(text, sizeof text, "%02X-%02X", first, b - 1);
    if (!ranges.empty()) ranges += ' ';
    ranges += text;
  }
  return ranges;
}

TEST(GetFormatSettings, FillsEveryValueFromTheLocale) {
  ScopedLocale locale;
  for (const LocaleCase& c : kCases) {
    SCOPED_TRACE(c.locale);
    ASSERT_TRUE(locale.Use(c.locale));
    EXPECT_EQ(ShortDateFormat, LocalText(c.shortDate));
    EXPECT_EQ(LongDateFormat, LocalText(c.longDate));
    EXPECT_EQ(ShortTimeFormat, c.shortTime);
    EXPECT_EQ(LongTimeFormat, c.longTime);
    EXPECT_EQ(DateSeparator, c.dateSeparator);
    EXPECT_EQ(TimeSeparator, c.timeSeparator);
    EXPECT_EQ(DecimalSeparator, c.decimalSeparator);
    EXPECT_EQ(TimeAMString, LocalText(c.am));
    EXPECT_EQ(TimePMString, LocalText(c.pm));
    EXPECT_EQ(Joined(ShortMonthNames), LocalText(c.shortMonths));
    EXPECT_EQ(Joined(LongMonthNames), LocalText(c.longMonths));
    EXPECT_EQ(Joined(ShortDayNames), LocalText(c.shortDays));
    EXPECT_EQ(Joined(LongDayNames), LocalText(c.longDays));
    EXPECT_EQ(ErasJoined(), LocalText(c.eras));
    EXPECT_EQ(TwoDigitYearCenturyWindow, 50);
    EXPECT_EQ(SysLocale.PriLangID, c.priLangID);
    EXPECT_EQ(SysLocale.SubLangID, c.subLangID);
    EXPECT_EQ(SysLocale.FarEast, c.farEast);
    EXPECT_EQ(OptionalCalendar, c.optionalCalendar);
    EXPECT_EQ(LeadByteRanges(), c.leadBytes);
  }
}

// The table above compares Shift_JIS through a conversion; these bytes are
// written out, as the log files hold them.
TEST(GetFormatSettings, ShiftJisValuesAreShiftJisBytes) {
  ScopedLocale locale;
  ASSERT_TRUE(locale.Use("ja_JP.SJIS"));
  EXPECT_EQ(ShortDateFormat, "yyyy\x94NMM\x8C\x8E" "dd\x93\xFA");
  EXPECT_EQ(EraNames[2], "\x95\xBD\x90\xAC");  // 平成
  EXPECT_EQ(TimeAMString, "\x8C\xDF\x91O");    // 午前
  EXPECT_EQ(ShortMonthNames[1], " 1\x8C\x8E");
}

// LC_TIME, LC_NUMERIC and LC_CTYPE each answer for their own values. Without
// multi-byte characters there are no eras, but an era calendar still turns
// the short date's years into era years.
TEST(GetFormatSettings, EachValueComesFromItsOwnCategory) {
  ScopedLocale locale;
  ASSERT_TRUE(locale.Use("ja_XX.UTF-8"));
  ASSERT_TRUE(std::setlocale(LC_CTYPE, "C"));
  ASSERT_TRUE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"));
  GetFormatSettings();
  EXPECT_FALSE(SysLocale.FarEast);
  EXPECT_TRUE(LeadBytes.none());
  EXPECT_EQ(ErasJoined(), kNoEras);
  EXPECT_EQ(OptionalCalendar, 3);
  EXPECT_EQ(SysLocale.PriLangID, 17);
  EXPECT_EQ(ShortDateFormat, "gggeeMMdd");
  EXPECT_EQ(DecimalSeparator, ',');
}

}  // namespace
