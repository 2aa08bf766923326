#include "datetime/fast_stamp.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "datetime/date_time_value.h"
#include "datetime/format_date_time.h"
#include "datetime/str_to_date_time.h"
#include "locale/format_settings.h"
#include "platform/charset.h"
#include "platform/clock.h"
#include "support/scoped_env.h"
#include "text/mbchar.h"

namespace {

int32_t FixedYear() { return 2024; }

// What the reader and the writer make of a stamp; read is false when the
// reader refuses it.
struct General {
  bool read;
  std::string text;
};

General GeneralPath(std::string_view stamp, std::string_view pattern) {
  double value = 0;
  if (!TryStrToDateTime(stamp, value)) return {false, ""};
  return {true, FormatDateTime(pattern, value)};
}

// Checks fast == general for one stamp; returns whether the fast path decided.
bool ExpectSameAsGeneral(const FastStampForm& form, const std::string& stamp,
                         const std::string& pattern) {
  char out[FormatDateTimeMaxLength];
  std::size_t length = 0;
  if (!FastStampTo(form, stamp, out, length)) return false;
  const General general = GeneralPath(stamp, pattern);
  EXPECT_TRUE(general.read) << "the fast path decided a stamp the reader refuses: [" << stamp
                            << "] pattern [" << pattern << "]";
  EXPECT_EQ(std::string(out, length), general.text)
      << "stamp [" << stamp << "] pattern [" << pattern << "]";
  return true;
}

struct Moment {
  int y, m, d, h, n;
};

// Dates across the range, around day 0 (1899-12-30, before which the
// value's fraction is subtracted), leap days and the ends of months.
const Moment kMoments[] = {
    {2003, 6, 19, 9, 5},  {2003, 12, 31, 23, 59}, {2004, 2, 29, 0, 0},  {2000, 2, 29, 12, 0},
    {1900, 2, 28, 13, 1}, {1899, 12, 30, 0, 0},   {1899, 12, 29, 12, 0}, {1899, 12, 31, 0, 1},
    {1, 1, 1, 0, 0},      {9999, 12, 31, 23, 59}, {1582, 10, 10, 7, 30}, {2024, 1, 1, 10, 10},
};

// The stamp of a moment in the locale's order and separators: the year with
// four digits, the month, day and hour with or without a leading zero.
std::string StampOf(const Moment& t, DateOrder order, bool zeros) {
  char y[8], m[4], d[4], h[4], n[4];
  std::snprintf(y, sizeof y, "%04d", t.y);
  std::snprintf(m, sizeof m, zeros ? "%02d" : "%d", t.m);
  std::snprintf(d, sizeof d, zeros ? "%02d" : "%d", t.d);
  std::snprintf(h, sizeof h, zeros ? "%02d" : "%d", t.h);
  std::snprintf(n, sizeof n, "%02d", t.n);
  const std::string s(1, DateSeparator);
  std::string date;
  switch (order) {
    case DateOrder::kYearMonthDay: date = std::string(y) + s + m + s + d; break;
    case DateOrder::kMonthDayYear: date = std::string(m) + s + d + s + y; break;
    case DateOrder::kDayMonthYear: date = std::string(d) + s + m + s + y; break;
  }
  return date + " " + h + TimeSeparator + n;
}

struct LocaleCase {
  const char* name;
  DateOrder order;
  bool applies;  // whether the default pattern's form applies there
};

// Every test locale (tests/locales/build-locales) and the C locale.
const LocaleCase kLocales[] = {
    {"C", DateOrder::kMonthDayYear, true},
    {"ja_JP.UTF-8", DateOrder::kYearMonthDay, true},
    {"ja_JP.SJIS", DateOrder::kYearMonthDay, true},
    {"ja_JP.EUC-JP", DateOrder::kYearMonthDay, true},
    {"en_US.UTF-8", DateOrder::kMonthDayYear, true},
    {"de_DE.UTF-8", DateOrder::kDayMonthYear, true},
    {"zh_TW.UTF-8", DateOrder::kYearMonthDay, true},
    {"ko_KR.UTF-8", DateOrder::kYearMonthDay, true},
    {"ja_XX.UTF-8", DateOrder::kYearMonthDay, false},  // an era name first, no date separator
    {"ko_XX.UTF-8", DateOrder::kYearMonthDay, true},   // "." between hour and minute
    {"xx_XX.UTF-8", DateOrder::kDayMonthYear, true},
    {"zh_TW_minguo.UTF-8", DateOrder::kYearMonthDay, false},  // yyyyMMdd: no date separator
};

struct PatternCase {
  const char* pattern;  // UTF-8, taken into the locale's charset
  bool numeric;         // whether it compiles (under every locale for these)
};

// Patterns of numbers and fixed text, which the fast path writes, and some
// it must leave to the writer.
const PatternCase kPatterns[] = {
    {"yyyy/mm/dd hh:nn", true},
    {"yyyy/mm/dd", true},  // the date alone
    {"yyyy-m-d h:nn:ss.zzz", true},
    {"dd.mm.yy hh:nn", true},
    {"'at' h:nn \"on\" d/m/yyyy", true},  // quoted literals
    {"h:mm dd mm", true},                 // m after h is the minute, after d the month
    {"hhmmm y yyy yyyyy", true},
    {"yyyy年mm月dd日 hh時nn分", true},    // multi-byte text outside quotes
    {"'年' hh 'hh' mm", true},            // an h in quotes: mm is still the minute
    {"h\"'am/pm", true},                  // the look-ahead sees a marker the writer quotes: 12-hour
    {"Hh x q Mm", true},                  // letters that are no token are copied
    {"yyyy a hh", true},                  // an a that begins no marker
    {"mmm d, yyyy", false},               // a month name
    {"dddd hh:nn", false},                // a day name
    {"aaa hh:nn", false},                 // a day name by a
    {"h:nn am/pm", false},                // a marker
    {"h:nn a/p", false},
    {"h:nn ampm", false},                 // the locale's marker
    {"ggg e/m/d", false},                 // era
    {"c", false},                         // the time only when not midnight
    {"", false},                          // the same
};

class FastStampTest : public ::testing::Test {
 protected:
  void SetUp() override { previous_ = SetYearSource(FixedYear); }
  void TearDown() override { SetYearSource(previous_); }
  ScopedLocale locale_;

 private:
  YearSource previous_ = nullptr;
};

TEST_F(FastStampTest, DecidesWhatTheReaderAndWriterGiveUnderEveryLocale) {
  for (const LocaleCase& l : kLocales) {
    SCOPED_TRACE(l.name);
    ASSERT_TRUE(locale_.Use(l.name));
    for (const PatternCase& pc : kPatterns) {
      const std::string pattern = LocalText(pc.pattern);
      SCOPED_TRACE(pattern);
      const FastStampForm form = PrepareFastStamp(pattern);
      EXPECT_EQ(form.pattern.numeric, pc.numeric);
      EXPECT_EQ(form.applies, pc.numeric && l.applies);
      for (const Moment& t : kMoments) {
        for (const bool zeros : {false, true}) {
          const std::string stamp = StampOf(t, l.order, zeros);
          const bool decided = ExpectSameAsGeneral(form, stamp, pattern);
          EXPECT_EQ(decided, form.applies) << stamp;
        }
      }
    }
  }
}

// Stamps the fast path must leave to the reader, under the default pattern
// and locale of Japanese Notepad; and stamps around them that it decides.
TEST_F(FastStampTest, LeavesEveryDoubtToTheReader) {
  ASSERT_TRUE(locale_.Use("ja_JP.UTF-8"));
  const std::string pattern = "yyyy/mm/dd hh:nn";
  const FastStampForm form = PrepareFastStamp(pattern);
  ASSERT_TRUE(form.applies);
  const struct {
    const char* stamp;
    bool decided;
  } cases[] = {
      {"2003/06/19 9:05", true},
      {"2003/6/9 09:5", true},
      {"0001/01/01 0:00", true},
      {"2003/02/29 9:05", false},    // no such day: the reader's error
      {"2003/13/19 9:05", false},    // nor month
      {"2003/00/19 9:05", false},
      {"2003/06/00 9:05", false},
      {"0000/01/01 0:00", false},    // year 0
      {"2003/06/19 24:00", false},   // no such hour
      {"2003/06/19 9:60", false},
      {"03/06/19 9:05", false},      // a two-digit year: the century window
      {"003/06/19 9:05", false},     // a three-digit year
      {"02003/06/19 9:05", false},   // a leading zero past four digits
      {"2003/006/19 9:05", false},
      {"2003/06/19 009:05", false},
      {"2003/06/19 9:005", false},
      {"06/19 9:05", false},         // no year: the current one
      {"2003/06/19 9:05:30", false}, // seconds
      {"2003/06/19 9:05 PM", false}, // a marker
      {"2003/06/19 午後9:05", false},
      {"2003/06/19 9", false},       // the hour alone
      {"2003/06/19", false},         // the date alone
      {"2003/06/19/ 9:05", false},   // a separator after the date
      {"2003/06/19  9:05", false},   // blanks the reader passes over
      {" 2003/06/19 9:05", false},
      {"2003 / 06 / 19 9 : 05", false},
      {"2003/06/19 9:05 ", false},
      {"2003/06/19\t9:05", false},
      {"2003-06-19 9:05", false},    // another separator
      {"Hello world 123", false},
      {"9:05", false},               // a time alone
      {"", false},
      {"２００３/06/19 9:05", false},  // wide digits
  };
  for (const auto& c : cases) {
    const bool decided = ExpectSameAsGeneral(form, c.stamp, pattern);
    EXPECT_EQ(decided, c.decided) << c.stamp;
  }
}

// Locale values under which a plain-looking stamp means something else to
// the reader, so that no stamp may be decided.
TEST_F(FastStampTest, DoesNotApplyWhereTheReaderReadsMore) {
  const struct {
    const char* why;
    void (*set)();
  } cases[] = {
      {"an era name before the digits", [] { ShortDateFormat = "gggee/MM/dd"; }},
      {"years counted in the first era",
       [] {
         ShortDateFormat = "ee/MM/dd";
         EraYearOffsets[1] = 2019;
       }},
      {"a day name after the date on a multi-byte system",
       [] {
         ShortDateFormat = "yyyy/MM/dd ddd";
         SysLocale.FarEast = true;
       }},
      {"a morning marker that begins with a digit", [] { TimeAMString = "1st"; }},
      {"an afternoon marker that begins with a digit", [] { TimePMString = "2nd"; }},
      {"no date separator", [] { DateSeparator = '\0'; }},
      {"a blank as the date separator", [] { DateSeparator = ' '; }},
      {"a digit as the time separator", [] { TimeSeparator = '0'; }},
      {"a byte from 0x80 up as the time separator", [] { TimeSeparator = '\xb7'; }},
      {"a lead byte as the time separator", [] { LeadBytes.set(':'); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    ASSERT_TRUE(locale_.Use("ja_JP.UTF-8"));
    c.set();
    const FastStampForm form = PrepareFastStamp("yyyy/mm/dd hh:nn");
    EXPECT_FALSE(form.applies);
    EXPECT_TRUE(FastStampFormIsCurrent(form, "yyyy/mm/dd hh:nn"));
  }
  // With eras listed but no e in the short date, years are plain years.
  ASSERT_TRUE(locale_.Use("ja_JP.UTF-8"));
  ShortDateFormat = "yyyy/MM/dd";
  EraYearOffsets[1] = 2019;
  EXPECT_TRUE(PrepareFastStamp("yyyy/mm/dd hh:nn").applies);
  ShortDateFormat = "ee/MM/dd";
  EraYearOffsets[1] = 0;  // an era calendar the system left without offsets
  const FastStampForm plain = PrepareFastStamp("yyyy/mm/dd hh:nn");
  EXPECT_TRUE(plain.applies);
  EXPECT_TRUE(ExpectSameAsGeneral(plain, "2003/06/19 9:05", "yyyy/mm/dd hh:nn"));
}

// A form is used only with the values it was made from: every value it
// depends on, changed, makes it stale.
TEST_F(FastStampTest, KnowsWhenItsValuesChanged) {
  const struct {
    const char* what;
    void (*change)();
  } changes[] = {
      {"ShortDateFormat", [] { ShortDateFormat += 'x'; }},
      {"DateSeparator", [] { DateSeparator = '-'; }},
      {"TimeSeparator", [] { TimeSeparator = '.'; }},
      {"TimeAMString", [] { TimeAMString.insert(0, 1, '0'); }},  // now begins with a digit
      {"TimePMString", [] { TimePMString.insert(0, 1, '9'); }},
      {"EraYearOffsets", [] { EraYearOffsets[1] = 1; }},
      {"FarEast", [] { SysLocale.FarEast = !SysLocale.FarEast; }},
      {"LeadBytes", [] { LeadBytes.flip(0x80); }},
      {"LongDateFormat", [] { LongDateFormat += 'x'; }},
      {"ShortTimeFormat", [] { ShortTimeFormat += 'x'; }},
      {"LongTimeFormat", [] { LongTimeFormat += 'x'; }},
  };
  const std::string pattern = "ddddd dddddd t tt";
  for (const auto& c : changes) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(locale_.Use("ja_JP.UTF-8"));
    const FastStampForm form = PrepareFastStamp(pattern);
    ASSERT_TRUE(form.applies);
    ASSERT_TRUE(FastStampFormIsCurrent(form, pattern));
    EXPECT_FALSE(FastStampFormIsCurrent(form, "yyyy/mm/dd"));
    c.change();
    EXPECT_FALSE(FastStampFormIsCurrent(form, pattern));
  }
  // Without composite tokens the locale's formats play no part.
  ASSERT_TRUE(locale_.Use("ja_JP.UTF-8"));
  const FastStampForm plain = PrepareFastStamp("yyyy/mm/dd hh:nn");
  for (std::string* format : {&LongDateFormat, &ShortTimeFormat, &LongTimeFormat}) *format += 'x';
  EXPECT_TRUE(FastStampFormIsCurrent(plain, "yyyy/mm/dd hh:nn"));
}

// The composite tokens expand the locale's formats: numeric ones compile,
// ones with names or markers do not.
TEST_F(FastStampTest, CompilesCompositesOfNumericLocaleFormats) {
  const struct {
    const char* locale;
    const char* pattern;
    bool numeric;
  } cases[] = {
      {"ja_JP.UTF-8", "ddddd t", true},       // yyyy年MM月dd日 hh:mm
      {"ja_JP.UTF-8", "dddddd tt", true},     // yyyy年MM月dd日 hh:mm:ss
      {"en_US.UTF-8", "ddddd", true},         // MM/dd/yyyy
      {"en_US.UTF-8", "t", false},            // hh:mm AMPM
      {"de_DE.UTF-8", "dddddd", false},       // ddd dd MMM yyyy
      {"de_DE.UTF-8", "ddddd tt", true},      // dd.MM.yyyy hh:mm:ss
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.locale) + " " + c.pattern);
    ASSERT_TRUE(locale_.Use(c.locale));
    const FastStampForm form = PrepareFastStamp(c.pattern);
    EXPECT_EQ(form.pattern.numeric, c.numeric);
    EXPECT_TRUE(!c.numeric || form.pattern.uses_locale_formats);
    if (form.applies) {
      const std::string stamp = StampOf({2003, 6, 19, 9, 5}, ReadShapeOfShortDate().order, true);
      EXPECT_TRUE(ExpectSameAsGeneral(form, stamp, c.pattern)) << stamp;
    }
  }
}

}  // namespace
