// Rate dates of the templates, re-based for Mandanten whose fiscal year
// starts in another month than January.
#include <gtest/gtest.h>

#include <cstring>

#include "charts/template_reader.h"
#include "core/layouts/layout.h"
#include "core/layouts/steke.h"
#include "core/period_date.h"
#include "core/record_store.h"
#include "recman/recman.h"
#include "support/temp_dir.h"
#include "tools/chart_builder/chart_rules.h"
#include "core/charts/rate_dates.h"
#include "tools/chart_builder/template_writer.h"

using namespace talvera;
using namespace talvera::charts;

namespace {

struct RebaseCase {
  const char* name;
  const char* calendar;  // DDPPYY of a January fiscal year
  int startMonth;
  const char* expected;
};

const RebaseCase kCases[] = {
    {"JanuaryStartKeepsTheDate", "010127", 1, "010127"},
    {"MonthAfterStartStaysInItsYear", "010740", 7, "010140"},        // 01.07.2020
    {"MonthBeforeStartBelongsToTheYearBefore", "010127", 7, "010726"},  // 01.01.2007
    {"AprilStartMarch", "150302", 4, "151201"},                         // 15.03.1982
    {"DecemberStartDecember", "311219", 12, "310119"},
    {"BeforeTheFirstFiscalYearBecomesItsFirstDay", "010100", 7, "010100"},
    {"EmptyStaysEmpty", "", 7, ""},
};

class RebaseTest : public ::testing::TestWithParam<RebaseCase> {};

TEST_P(RebaseTest, CalendarDayKeepsItsMeaning) {
  char out[7] = "xxxxxx";
  RebaseCalendarDate(GetParam().calendar, GetParam().startMonth, out);
  EXPECT_STREQ(out, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Dates, RebaseTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The rate in force for a day, as the posting engine looks it up: the
// first record of the class, in index order, not later than the day.
std::string StandardRateAt(const std::vector<std::vector<char>>& records, const char* day) {
  namespace T = layouts::steke;
  std::string best;
  int bestIndex = 1 << 30;
  for (const auto& r : records) {
    if (layouts::GetNumber(r.data(), T::kRateClass) != kStandardRate) continue;
    int index = static_cast<int>(layouts::GetNumber(r.data(), T::kIndex));
    std::string from = layouts::GetText(r.data(), T::kValidFrom);
    if (!CompareDates(from.c_str(), day) && index < bestIndex) {
      bestIndex = index;
      best = layouts::GetText(r.data(), T::kRate);
    }
  }
  return best;
}

// A Mandant with a July fiscal year: March 2007 is period 9 of 2006/07 and
// must get 19 %, June 2020 (period 12 of 2019/20) 19 % and July 2020 16 %.
// Without re-basing, the template's January dates would give 16 % in
// March 2007 and 19 % in July 2020.
TEST(RebaseRateDates, JulyFiscalYearGetsTheRateOfTheCalendarDay) {
  talvera::testing::TempDir dir;
  ChartTemplate skr03;
  Diagnostics d;
  ASSERT_TRUE(PrepareChart(TALVERA_CHART_SOURCES, *ChartByLetter('3'), skr03, d));
  ASSERT_TRUE(WriteChartTemplate(skr03, '3', dir.path()));
  std::string path = TemplatePath(dir.path(), "steke", '3');

  ASSERT_TRUE(RebaseRateDates(path, 1));  // nothing to do for January
  std::vector<std::vector<char>> records;
  ASSERT_TRUE(talvera::testing::ReadAllRecords(path, 34, records));
  EXPECT_EQ(StandardRateAt(records, "150327"), "19,00");  // 15.03.2007, January year

  ASSERT_TRUE(RebaseRateDates(path, 7));
  records.clear();
  ASSERT_TRUE(talvera::testing::ReadAllRecords(path, 34, records));
  EXPECT_EQ(StandardRateAt(records, "150926"), "19,00");  // 15.03.2007
  EXPECT_EQ(StandardRateAt(records, "301239"), "19,00");  // 30.06.2020
  EXPECT_EQ(StandardRateAt(records, "010140"), "16,00");  // 01.07.2020
  EXPECT_EQ(StandardRateAt(records, "010740"), "19,00");  // 01.01.2021
  recman::Shutdown();
}

}  // namespace
