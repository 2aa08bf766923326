// The locale items asked of the thread's locale, as they are.
#include "platform/locale_source.h"

#include "platform/windows/win32.h"

namespace {

// The value of one item; longer than 255 bytes counts as no answer.
std::optional<std::string> Info(LCTYPE type) {
  char buf[256];
  const int n = GetLocaleInfoA(GetThreadLocale(), type, buf, sizeof buf);
  if (n <= 0) return std::nullopt;
  return std::string(buf, static_cast<std::size_t>(n - 1));
}

LCTYPE TypeOf(LocaleItem item) {
  switch (item) {
    case LocaleItem::ShortDate: return LOCALE_SSHORTDATE;
    case LocaleItem::LongDate: return LOCALE_SLONGDATE;
    case LocaleItem::DateSeparator: return LOCALE_SDATE;
    case LocaleItem::TimeSeparator: return LOCALE_STIME;
    case LocaleItem::DecimalSeparator: return LOCALE_SDECIMAL;
    case LocaleItem::AMString: return LOCALE_S1159;
    case LocaleItem::PMString: return LOCALE_S2359;
    case LocaleItem::HourLeadingZero: return LOCALE_ITLZERO;
    case LocaleItem::Clock24: return LOCALE_ITIME;
    case LocaleItem::MarkerFirst: return LOCALE_ITIMEMARKPOSN;
    case LocaleItem::CalendarType: return LOCALE_ICALENDARTYPE;
    case LocaleItem::OptionalCalendar: return LOCALE_IOPTIONALCALENDAR;
  }
  return 0;
}

// EnumCalendarInfoA's callback takes no context: the list being filled.
std::vector<std::string>* listing = nullptr;
constexpr std::size_t kMostListed = 64;  // far more eras than any calendar has

BOOL CALLBACK ListOne(LPSTR text) {
  listing->push_back(text);
  return listing->size() < kMostListed;
}

}  // namespace

std::optional<std::string> LocaleText(LocaleItem item) { return Info(TypeOf(item)); }

std::optional<std::string> MonthName(int month, bool abbreviated) {
  if (month < 1 || month > 12) return std::nullopt;
  const LCTYPE first = abbreviated ? LOCALE_SABBREVMONTHNAME1 : LOCALE_SMONTHNAME1;
  return Info(first + static_cast<LCTYPE>(month - 1));
}

std::optional<std::string> DayName(int day, bool abbreviated) {
  if (day < 1 || day > 7) return std::nullopt;
  const LCTYPE first = abbreviated ? LOCALE_SABBREVDAYNAME1 : LOCALE_SDAYNAME1;
  return Info(first + static_cast<LCTYPE>(day - 1));
}

uint32_t ThreadLocaleId() { return GetThreadLocale(); }

bool DoubleByteSystem() { return GetSystemMetrics(SM_DBCSENABLED) != 0; }

// Up to six ranges (first, last), the list ending at the pair (0, 0); a
// range whose last byte lies below its first adds nothing.
std::bitset<256> AnsiLeadBytes() {
  std::bitset<256> lead;
  CPINFO info;
  if (!GetCPInfo(CP_ACP, &info)) return lead;
  for (int i = 0; i + 1 < MAX_LEADBYTES; i += 2) {
    const BYTE first = info.LeadByte[i], last = info.LeadByte[i + 1];
    if (first == 0 && last == 0) break;
    for (int b = first; b <= last; ++b) lead.set(static_cast<std::size_t>(b));
  }
  return lead;
}

std::vector<std::string> CalendarInfo(int32_t calendar, CalendarItem item) {
  std::vector<std::string> answers;
  listing = &answers;
  EnumCalendarInfoA(ListOne, GetThreadLocale(), static_cast<CALID>(calendar),
                    item == CalendarItem::EraName ? CAL_SERASTRING : CAL_IYEAROFFSETRANGE);
  listing = nullptr;
  return answers;
}
