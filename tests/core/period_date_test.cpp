#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/mandant_values.h"
#include "core/period_date.h"
#include "core/today.h"

using namespace talvera;

namespace {

// Today is fixed and the fiscal year starts in the month the test asks for.
class DateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("TALVERA_TODAY", "09.12.2026", 1);
    ResetDayToday();
    CurrentMandant() = MandantValues{};
  }
  void TearDown() override {
    ::unsetenv("TALVERA_TODAY");
    ResetDayToday();
    CurrentMandant() = MandantValues{};
  }
  static void StartMonth(int m) { CurrentMandant().fiscalStartMonth = m; }
};

struct ParseCase {
  const char* name;
  const char* input;
  int startMonth;
  int result;
  const char* date;  // expected DDPPYY when the result is 0
};

TEST_F(DateTest, ParseDateTable) {
  const ParseCase cases[] = {
      {"dotted", "15.03.1997", 1, kDateOk, "150317"},
      {"six_digits", "150397", 1, kDateOk, "150317"},
      {"four_digits_this_year", "1503", 1, kDateOk, "150346"},
      {"day_only_uses_today", "15", 1, kDateOk, "151246"},
      {"trailing_point", "15.3.", 1, kDateOk, "150346"},
      {"leading_blanks", "  1.1.97", 1, kDateOk, "010117"},
      {"no_leap_year", "290297", 1, kBadDay, nullptr},
      {"leap_year_2000", "29.02.2000", 1, kDateOk, "290220"},
      {"century_no_leap", "29.02.2100", 1, kBadYear, nullptr},
      {"two_digit_80", "1.1.80", 1, kDateOk, "010100"},
      {"two_digit_79", "1.1.79", 1, kDateOk, "010199"},
      {"year_2080", "1.1.2080", 1, kBadYear, nullptr},
      {"year_1979", "1.1.1979", 1, kBadYear, nullptr},
      {"three_digit_year", "1.1.197", 1, kBadYear, nullptr},
      {"day_zero", "0.1.97", 1, kBadDay, nullptr},
      {"day_32", "32.1.97", 1, kBadDay, nullptr},
      {"month_13", "1.13.97", 1, kBadMonth, nullptr},
      {"february_30", "30.2.96", 1, kBadDay, nullptr},
      {"april_31", "31.4.96", 1, kBadDay, nullptr},
      {"no_point", "15x3", 1, kBadMonth, nullptr},
      {"letters", "abc", 1, kBadDay, nullptr},
      {"year_letters", "1.1.ab", 1, kBadYear, nullptr},
      {"fiscal_july_march", "15.03.1997", 7, kDateOk, "150916"},
      {"fiscal_july_july", "01.07.1996", 7, kDateOk, "010116"},
      {"fiscal_july_june", "30.06.1997", 7, kDateOk, "301216"},
      {"fiscal_before_1980", "15.03.1980", 7, kBadYear, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StartMonth(c.startMonth);
    char buf[16];
    std::strcpy(buf, c.input);
    EXPECT_EQ(ParseDate(buf), c.result);
    if (c.result == kDateOk) {
      EXPECT_STREQ(buf, c.date);
    }
  }
}

TEST_F(DateTest, FormatDateWithFiscalStartAndClamping) {
  char out[11];
  StartMonth(7);
  FormatDate("150916", out, true);
  EXPECT_STREQ(out, "15.03.1997");
  FormatDate("150916", out, false);
  EXPECT_STREQ(out, "15.03.97");
  StartMonth(1);
  FormatDate("310416", out, true);  // day 31 in April shows 30
  EXPECT_STREQ(out, "30.04.1996");
  FormatDate("310217", out, true);  // 1997: 28 days
  EXPECT_STREQ(out, "28.02.1997");
  FormatDate("", out, true);
  EXPECT_STREQ(out, "");
}

TEST_F(DateTest, DaysInPeriod) {
  EXPECT_EQ(DaysInPeriod(2, 16), 29);    // February 1996
  EXPECT_EQ(DaysInPeriod(2, 1997), 28);  // a year, not an index
  EXPECT_EQ(DaysInPeriod(4, 16), 30);
  StartMonth(7);
  EXPECT_EQ(DaysInPeriod(8, 19), 29);    // period 8 = February 2000
}

TEST_F(DateTest, DayArithmetic) {
  char d[7];
  std::strcpy(d, "010100");
  EXPECT_FALSE(PreviousDay(d));
  std::strcpy(d, "010101");
  ASSERT_TRUE(PreviousDay(d));
  EXPECT_STREQ(d, "311200");

  char out[7];
  ASSERT_TRUE(AddDays("311216", 1, out));
  EXPECT_STREQ(out, "010117");
  ASSERT_TRUE(AddDays("280216", 1, out));  // leap year
  EXPECT_STREQ(out, "290216");
  ASSERT_TRUE(AddDays("150116", 46, out));
  EXPECT_STREQ(out, "010316");
  StartMonth(7);
  ASSERT_TRUE(AddDays("301216", 1, out));  // 30 June 1997 -> 1 July, a new fiscal year
  EXPECT_STREQ(out, "010117");
  EXPECT_FALSE(AddDays("311299", 1, out));  // beyond the last year index
}

TEST_F(DateTest, PeriodSteps) {
  char d[7];
  std::strcpy(d, "310116");
  ASSERT_TRUE(NextPeriod(d));
  EXPECT_STREQ(d, "290216");  // clamped to February 1996
  std::strcpy(d, "151216");
  ASSERT_TRUE(NextPeriod(d));
  EXPECT_STREQ(d, "150117");
  ASSERT_TRUE(PreviousPeriod(d));
  EXPECT_STREQ(d, "151216");
  std::strcpy(d, "150100");
  EXPECT_FALSE(PreviousPeriod(d));
}

TEST_F(DateTest, SortDatesAndComparison) {
  char d[7] = "150317";
  ToSortDate(d);
  EXPECT_STREQ(d, "170315");
  FromSortDate(d);
  EXPECT_STREQ(d, "150317");

  EXPECT_TRUE(CompareDates("010217", "311216"));
  EXPECT_FALSE(CompareDates("311216", "010217"));
  EXPECT_FALSE(CompareDates("010117", "010117"));
  EXPECT_TRUE(CompareDates("020117", "010117"));
  EXPECT_FALSE(CompareDates("", "010117"));
  EXPECT_TRUE(CompareDates("010117", ""));
  EXPECT_TRUE(DateInRange("010117", "150317", "311217"));
  EXPECT_TRUE(DateInRange("010117", "010117", "010117"));
  EXPECT_FALSE(DateInRange("010217", "150117", "311217"));
}

TEST_F(DateTest, YearOfDateKnowsOnlyTheOpenYears) {
  std::strcpy(CurrentMandant().currentYear, "1997");
  std::strcpy(CurrentMandant().previousYear, "1996");
  EXPECT_EQ(YearOfDate("150317"), 1997);
  EXPECT_EQ(YearOfDate("150316"), 1996);
  EXPECT_EQ(YearOfDate("150315"), 0);
}

TEST_F(DateTest, NamesAndBounds) {
  EXPECT_EQ(PeriodName(1u << 2, 16), "März 1996");
  EXPECT_EQ(FiscalYearLabel("1996"), "1996");
  char first[7], last[7];
  BuildPeriodBounds(14, "1996", first, last);  // second quarter
  EXPECT_STREQ(first, "010416");
  EXPECT_STREQ(last, "300616");
  BuildPeriodBounds(2, "1996", first, last);
  EXPECT_STREQ(first, "010216");
  EXPECT_STREQ(last, "290216");
  BuildPeriodBounds(kWholeYear, "1997", first, last);
  EXPECT_STREQ(first, "010117");
  EXPECT_STREQ(last, "311217");

  StartMonth(7);
  EXPECT_EQ(FiscalYearLabel("1996"), "1996/97");
  EXPECT_EQ(FiscalYearLabel("1999"), "1999/00");
  // Period 7 of the fiscal year 1996/97 is January 1997.
  EXPECT_EQ(PeriodName(1u << 6, 1996), "Januar 1997");
  EXPECT_EQ(PeriodName(1u, 16), "Juli 1996");
  BuildPeriodBounds(15, "1996", first, last);  // periods 7..9: January..March 1997
  EXPECT_STREQ(first, "010716");
  EXPECT_STREQ(last, "310916");
}

TEST_F(DateTest, CounterIncrement) {
  const std::pair<const char*, const char*> cases[] = {
      {"   0", "   1"}, {"   9", "  10"}, {"  99", " 100"}, {"  10", "  11"}, {"9999", "0000"}};
  for (const auto& [in, out] : cases) {
    char t[5];
    std::strcpy(t, in);
    CounterIncrement(t);
    EXPECT_STREQ(t, out) << in;
  }
}

}  // namespace
