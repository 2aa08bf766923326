// The locale settings as GetFormatSettings fills them from the Japanese user
// locale (ja-JP, code page 932), whose items the tests' setup ensures.
#include <gtest/gtest.h>

#include <string>

#include "locale/format_settings.h"
#include "platform/charset.h"
#include "platform/locale_source.h"
#include "support/windows/sandbox.h"
#include "text/mbchar.h"

namespace {

std::string LeadByteRanges() {
  std::string ranges;
  for (int b = 0; b < 256;) {
    if (!LeadBytes[b]) {
      ++b;
      continue;
    }
    const int first = b;
    while (b < 256 && LeadBytes[b]) ++b;
    char text[16];
    std::snprintf(text, sizeof text, "%02X-%02X", first, b - 1);
    if (!ranges.empty()) ranges += ' ';
    ranges += text;
  }
  return ranges;
}

class JapaneseLocale : public ::testing::Test {
 protected:
  void SetUp() override { GetFormatSettings(); }
};

TEST_F(JapaneseLocale, FillsTheSettingsFromTheLocaleItems) {
  EXPECT_EQ(SysLocale.PriLangID, 17);
  EXPECT_EQ(SysLocale.SubLangID, 1);
  EXPECT_TRUE(SysLocale.FarEast);
  EXPECT_EQ(LeadByteRanges(), "81-9F E0-FC");
  // yyyy/M/d as the locale answers it: no era calendar chosen, no g to drop.
  EXPECT_EQ(ShortDateFormat, LocaleText(LocaleItem::ShortDate).value());
  EXPECT_EQ(ShortDateFormat, "yyyy/M/d");
  EXPECT_EQ(DateSeparator, '/');
  EXPECT_EQ(TimeSeparator, ':');
  EXPECT_EQ(DecimalSeparator, '.');
  EXPECT_EQ(ShortTimeFormat, "h:mm");  // 24-hour clock, no leading zero
  EXPECT_EQ(LongTimeFormat, "h:mm:ss");
  EXPECT_EQ(TimeAMString, LocalText("午前"));
  EXPECT_EQ(TimePMString, LocalText("午後"));
  EXPECT_EQ(LongMonthNames[1], LocalText("1月"));
  EXPECT_EQ(LongMonthNames[12], LocalText("12月"));
  EXPECT_EQ(LongDayNames[1], LocalText("日曜日"));  // index 1 is Sunday
  EXPECT_EQ(LongDayNames[2], LocalText("月曜日"));
  EXPECT_EQ(ShortDayNames[7], LocalText("土"));
  EXPECT_EQ(OptionalCalendar, 3);
  EXPECT_EQ(TwoDigitYearCenturyWindow, 50);
}

// Whatever eras the system lists go into the slots in its order, each with
// its offset; the slots after them hold no name and the offset -1.
TEST_F(JapaneseLocale, ErasComeFromTheCalendarInTheSystemsOrder) {
  const auto names = CalendarInfo(3, CalendarItem::EraName);
  const auto offsets = CalendarInfo(3, CalendarItem::YearOffset);
  ASSERT_FALSE(names.empty());
  ASSERT_EQ(names.size(), offsets.size());
  for (std::size_t i = 0; i < 7; ++i) {
    if (i < names.size()) {
      EXPECT_EQ(EraNames[i + 1], names[i]);
      EXPECT_EQ(EraYearOffsets[i + 1], std::stoi(offsets[i]));
    } else {
      EXPECT_EQ(EraNames[i + 1], "");
      EXPECT_EQ(EraYearOffsets[i + 1], -1);
    }
  }
  bool reiwa = false;
  for (std::size_t i = 1; i <= 7; ++i) reiwa = reiwa || (EraNames[i] == LocalText("令和") && EraYearOffsets[i] == 2019);
  EXPECT_TRUE(reiwa) << "the newest era, 令和 from 2019, is listed";
}

TEST_F(JapaneseLocale, ListsEveryEraOfTheJapaneseCalendar) {
  if (RunningUnderWine()) {
    GTEST_SKIP() << "Wine " << WineVersion()
                 << ": EnumCalendarInfoA lists only the newest era of the Japanese calendar";
  }
  EXPECT_EQ(CalendarInfo(3, CalendarItem::EraName).size(), 5u);
  for (const char* era : {"明治", "大正", "昭和", "平成", "令和"}) {
    bool found = false;
    for (std::size_t i = 1; i <= 7; ++i) found = found || EraNames[i] == LocalText(era);
    EXPECT_TRUE(found) << era;
  }
}

}  // namespace
