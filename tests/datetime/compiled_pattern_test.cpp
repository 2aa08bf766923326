#include "datetime/compiled_pattern.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "datetime/date_time_value.h"
#include "datetime/format_date_time.h"
#include "support/scoped_env.h"

namespace {

// Written for any value, a compiled pattern writes what the writer writes:
// every field, the seconds and milliseconds that stamps never have
// included, on a stride of days from 0001-01-01 to 9999-12-31.
TEST(CompiledPattern, WritesWhatTheWriterWritesForEveryValue) {
  ScopedLocale locale;
  ASSERT_TRUE(locale.Use("ja_JP.UTF-8"));
  const char* patterns[] = {"yyyy/mm/dd hh:nn:ss.zzz", "y/m/d h:n:s.z", "yy-mm-dd zz",
                            "yyyy年m月d日 ddddd tt", "hhmmm'h'\"'am/pm", "h\"'am/pm hh",
                            "z zz zzz zzzz"};
  for (const char* pattern : patterns) {
    SCOPED_TRACE(pattern);
    const CompiledPattern compiled = CompilePattern(pattern);
    ASSERT_TRUE(compiled.numeric);
    char out[FormatDateTimeMaxLength];
    for (int64_t day = -693593; day <= 2958465; day += 97) {
      const int64_t ms = (day * 7919 + 12345) % MsPerDay;  // a time of day that moves
      const double value = EncodeDateTime(day, ms < 0 ? ms + MsPerDay : ms);
      const std::size_t length = WriteCompiledPattern(out, compiled, DecodeDateTime(value));
      ASSERT_EQ(std::string(out, length), FormatDateTime(pattern, value)) << value;
    }
  }
}

// Output that may come near the writer's limit of 256 bytes is left to the
// writer, which cuts it: a compiled pattern writes 248 bytes at most.
TEST(CompiledPattern, RefusesWhatMayComeNearTheLimit) {
  ScopedLocale locale;
  ASSERT_TRUE(locale.Use("C"));
  const std::string longest = std::string(244, 'x') + "yyyy";
  const CompiledPattern compiled = CompilePattern(longest);
  ASSERT_TRUE(compiled.numeric);
  char out[FormatDateTimeMaxLength];
  EXPECT_EQ(std::string(out, WriteCompiledPattern(out, compiled, DecodeDateTime(37791))),
            FormatDateTime(longest, 37791));
  EXPECT_FALSE(CompilePattern(std::string(245, 'x') + "yyyy").numeric);
  EXPECT_FALSE(CompilePattern(std::string(247, 'x') + "m").numeric) << "a month of two digits";
  EXPECT_TRUE(CompilePattern(std::string("xx") + '\0' + "mmm").numeric)
      << "the pattern ends at its first zero byte";
  EXPECT_FALSE(CompilePattern(std::string(1, '\0') + "yyyy").numeric) << "empty: like c";
}

}  // namespace
