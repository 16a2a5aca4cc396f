// The account analysis on the fixed Mandant, with a year before that holds
// a few totals of 1200.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "core/layouts/create_file.h"
#include "core/layouts/sako.h"
#include "reports/account_analysis.h"
#include "reports/report_buffer.h"
#include "support/fixed_mandant.h"
#include "support/golden_report.h"

using namespace talvera;

namespace {

class AccountAnalysisTest : public talvera::testing::FixedMandantTest {
 protected:
  // 1995: 1200 with 100,00 credit in February and 200,00 debit in March.
  bool BuildYearBefore() {
    namespace s = layouts::sako;
    std::string dir = YearDirectory("1995");
    std::filesystem::create_directories(dir);
    if (!layouts::CreateFile(dir, "sako")) return false;
    std::vector<char> r(s::kLayout.recordLength);
    layouts::InitRecord(s::kLayout, r.data());
    layouts::SetRawText(r.data(), s::kAccountNo, "   1200");
    layouts::SetText(r.data(), s::kName, "Bank");
    layouts::SetRawText(r.data(), s::kPeriodCredit.At(1), "000000100,00");
    layouts::SetRawText(r.data(), s::kPeriodDebit.At(2), "000000200,00");
    return talvera::testing::InsertByPath(dir + "/sako.btr", r.data());
  }
};

TEST_F(AccountAnalysisTest, PeriodsOfBothYearsAndTheirChange) {
  ASSERT_TRUE(BuildYearBefore());
  AccountAnalysis a;
  ASSERT_TRUE(ComputeAccountAnalysis(kSachkonto, "   1200", a));
  EXPECT_TRUE(a.hasPrevious);
  EXPECT_EQ(a.year, "1996");
  // February: 300,00 in; March: 115,00 in, 40,00 and 230,00 out. The opening
  // record of 01.01. is in the opening values, not in January.
  EXPECT_EQ(a.current[0], 0);
  EXPECT_EQ(a.current[1], 30000);
  EXPECT_EQ(a.current[2], -15500);
  EXPECT_EQ(a.previous[1], -10000);
  EXPECT_EQ(a.previous[2], 20000);
  ASSERT_GT(BuildAccountAnalysisReport(a, 0), 0);
  talvera::testing::ExpectGolden(TALVERA_GOLDEN_DIR, "analyse_1200",
                                 talvera::testing::GoldenText(TheReportBuffer(), kAccountAnalysisWidth));

  // Without the year before, its column stays empty; a missing account fails.
  ASSERT_TRUE(ComputeAccountAnalysis(kDebitor, "  10000", a));
  EXPECT_FALSE(a.hasPrevious);
  EXPECT_FALSE(ComputeAccountAnalysis(kSachkonto, "   4711", a));
}

TEST(AccountAnalysisChange, Texts) {
  struct Case {
    long long current, previous;
    const char* text;
  } cases[] = {
      {150, 100, "50,00 %"},      {50, 100, "-50,00 %"},   {100, 0, "--- %"},
      {-150, -100, "50,00 %"},    {30000, -10000, "-400,00 %"}, {1, 3, "-66,67 %"},
  };
  for (const Case& c : cases) EXPECT_EQ(ChangeText(c.current, c.previous), c.text) << c.current << "/" << c.previous;
}

}  // namespace
