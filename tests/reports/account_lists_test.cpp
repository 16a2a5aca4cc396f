// The account lists on the fixed Mandant (support/fixed_mandant.md holds the
// hand calculation every golden file was checked against).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "posting/journal_search.h"
#include "posting/opening_posting.h"
#include "reports/chart_of_accounts.h"
#include "reports/closing_overview.h"
#include "reports/evaluation_period.h"
#include "reports/journal_report.h"
#include "reports/report_buffer.h"
#include "reports/report_kinds.h"
#include "reports/trial_balance.h"
#include "support/fake_dialog.h"
#include "support/fixed_mandant.h"
#include "support/golden_report.h"

using namespace talvera;
using talvera::testing::FixedMandantTest;

namespace {

class AccountListsTest : public FixedMandantTest {
 protected:
  void ExpectReport(const std::string& name, int lines, int width) {
    ASSERT_GT(lines, 0) << name;
    EXPECT_EQ(lines, TheReportBuffer().LineCount());
    talvera::testing::ExpectGolden(TALVERA_GOLDEN_DIR, name, talvera::testing::GoldenText(TheReportBuffer(), width));
  }
};

struct TrialBalanceCase {
  const char* golden;
  unsigned kinds;
  const char* date;
  bool withUnposted;
  int linesPerPage;
};

// Per 15.03.: cumulative through March less 16-31 March, opening records of
// 22.03. not taken out; per 31.12.: with the closing pair; printed with a
// short page, whose accounts never start within five lines of its end.
TEST_F(AccountListsTest, TrialBalanceGoldens) {
  const TrialBalanceCase cases[] = {
      {"saldenliste_15_03", 2 | 4 | 8, "150316", false, 0},
      {"saldenliste_15_03_unbebucht", 2, "150316", true, 0},
      // the closing posting of 31.12. is in the closing pair, not in December's totals
      {"saldenliste_15_12", 2, "151216", false, 0},
      {"saldenliste_31_12_druck", 2 | 4 | 8, "311216", false, 24},
  };
  for (const TrialBalanceCase& c : cases) {
    SCOPED_TRACE(c.golden);
    TrialBalanceOptions o;
    o.kinds = c.kinds;
    std::strcpy(o.date, c.date);
    o.withUnposted = c.withUnposted;
    o.linesPerPage = c.linesPerPage;
    ExpectReport(c.golden, BuildTrialBalance(o), ReportWidth(kReportSaldenliste));
  }
}

// An opening posting moves the carry-forward account's monthly totals (its
// account gets an opening balance): one dated after the reference date is
// taken out of 9000's March again, like every later posting of the month.
TEST_F(AccountListsTest, TrialBalanceTakesOutALaterOpeningPosting) {
  auto line9000 = [] {
    TrialBalanceOptions o;
    o.kinds = 2;
    std::strcpy(o.date, "150316");
    EXPECT_GT(BuildTrialBalance(o), 0);
    std::string text = talvera::testing::GoldenText(TheReportBuffer(), ReportWidth(kReportSaldenliste));
    std::size_t at = text.find("9000   SVKTO");
    return at == std::string::npos ? std::string() : text.substr(at, text.find('\n', at) - at);
  };
  std::string before = line9000();
  ASSERT_NE(before.find("100,00   Haben"), std::string::npos) << before;
  OpeningEntry later{"200316", "   1200", 2, 0, "000000050,00", "Nachtrag"};
  ASSERT_TRUE(PostOpeningEntry(later));
  EXPECT_EQ(line9000(), before);
}

// Every account block of the printed list starts at least five lines before
// the end of its page (counted from the second buffer line, as printing does).
TEST_F(AccountListsTest, PrintedTrialBalanceKeepsAccountsOffThePageEnd) {
  for (int perPage : {14, 15, 16, 17, 18, 19}) {
    TrialBalanceOptions o;
    o.kinds = 2 | 4 | 8;
    std::strcpy(o.date, "311216");
    o.linesPerPage = perPage;
    int lines = BuildTrialBalance(o);
    ASSERT_GT(lines, 0);
    const ReportBuffer& b = TheReportBuffer();
    int row = 0;
    for (int i = 1; i < lines; ++i) {
      std::string_view line = b.Line(i);
      if (ReadLineHead(line).code == kLinePageBreak) {
        row = 0;
        continue;
      }
      // An account's first row holds its number in the first segment.
      bool accountStart = line.size() > 2 && line[0] == '\3' && line[1] == '\3' && line[2] == ' ';
      if (accountStart) EXPECT_LT(row, perPage - 5) << "page of " << perPage << ", line " << i;
      // Only an empty line may stand beyond the page end: it prints nothing.
      if (!line.empty()) EXPECT_LT(row, perPage) << "page of " << perPage << ", line " << i;
      ++row;
    }
  }
}

TEST_F(AccountListsTest, TrialBalanceOfKindsWithoutAccountsFails) {
  char r[1024];
  bool found = false;
  ASSERT_TRUE(GetFirstFound(r, found, MakeFileId(kSlotKred, 0)));
  ASSERT_TRUE(found);
  ASSERT_TRUE(Delete(kSlotKred));
  TrialBalanceOptions o;
  o.kinds = kKreditor;
  std::strcpy(o.date, "150316");
  EXPECT_EQ(BuildTrialBalance(o), -1);
  o.kinds = kKreditor | kDebitor;  // the empty kind is dropped, the other stays
  EXPECT_GT(BuildTrialBalance(o), 0);
}

TEST_F(AccountListsTest, ClosingOverviewGoldens) {
  ClosingOverviewOptions o;
  o.sides = 2 | 4 | 8;
  std::strcpy(o.yearIndex, "16");
  ExpectReport("hauptabschluss", BuildClosingOverview(o), ReportWidth(kReportHauptabschluss));
  o.linesPerPage = 30;
  ExpectReport("hauptabschluss_druck", BuildClosingOverview(o), ReportWidth(kReportHauptabschluss));
}

// A fiscal year that starts in July: 1996/97 ends on 30.06.97 and opens on 01.07.96.
TEST_F(AccountListsTest, ClosingOverviewOfAFiscalYearStartingInJuly) {
  CurrentMandant().fiscalStartMonth = 7;
  ClosingOverviewOptions o;
  o.sides = 8;
  std::strcpy(o.yearIndex, "16");
  int lines = BuildClosingOverview(o);
  ASSERT_GT(lines, 0);
  std::string all;
  for (int i = 0; i < lines; ++i) all += std::string(TheReportBuffer().Line(i)) + "\n";
  EXPECT_NE(all.find("per 30.06.97"), std::string::npos);
  EXPECT_NE(all.find("zum 01.07.96"), std::string::npos);
  EXPECT_NE(all.find("Saldo 30.06.97"), std::string::npos);
  CurrentMandant().fiscalStartMonth = 1;
}

TEST_F(AccountListsTest, JournalGoldensAndAnEmptyPeriod) {
  JournalReportOptions o;
  std::strcpy(o.first, "010316");
  std::strcpy(o.last, "310316");
  ExpectReport("journal_maerz", BuildJournalReport(o), ReportWidth(kReportJournal));
  o.byDocumentDate = true;
  std::strcpy(o.first, "010116");
  std::strcpy(o.last, "311216");
  o.linesPerPage = 14;
  ExpectReport("journal_jahr_druck", BuildJournalReport(o), ReportWidth(kReportJournal));
  std::strcpy(o.first, "010416");
  std::strcpy(o.last, "300416");
  EXPECT_EQ(BuildJournalReport(o), 0);
}

TEST_F(AccountListsTest, ChartOfAccountsGoldens) {
  ChartOptions o;
  o.kinds = 2 | 4 | 8;
  ExpectReport("kontenplan_nummer", BuildChartOfAccounts(o), 80);
  o.order = ChartOrder::kShortCode;
  o.withAddresses = true;
  o.linesPerPage = 20;
  ExpectReport("kontenplan_kuerzel_druck", BuildChartOfAccounts(o), 80);
  o = ChartOptions{};
  o.kinds = 2 | 8;
  o.order = ChartOrder::kGroup;
  ExpectReport("kontenplan_gruppe", BuildChartOfAccounts(o), ChartReportWidth(ChartOrder::kGroup, false));
}

// A tree whose links run in a circle is damaged: the list fails (message 50
// in the dialog) instead of running for ever.
TEST_F(AccountListsTest, ChartOfAccountsFailsOnADamagedTree) {
  namespace s = layouts::structure;
  char r[s::kLayout.recordLength];
  bool found = false;
  ASSERT_TRUE(OpenSlot(kSlotGuvauf));
  ASSERT_TRUE(GetEqual(r, KeyValue("\2\0\0\0", 4), found, MakeFileId(kSlotGuvauf, 0)));
  ASSERT_TRUE(found);
  ASSERT_EQ(layouts::GetText(r, s::kLabel), "   8400");
  layouts::SetNumber(r, s::kAbove, 2);  // 8400 above itself
  ASSERT_TRUE(Update(r, MakeFileId(kSlotGuvauf, 0)));
  CloseSlot(kSlotGuvauf);
  ChartOptions o;
  o.kinds = 2;
  EXPECT_EQ(BuildChartOfAccounts(o), 0);
  o.order = ChartOrder::kGroup;
  EXPECT_EQ(BuildChartOfAccounts(o), 0);
}

struct SearchCase {
  const char* name;
  JournalFilter filter;
  std::vector<std::string> vouchers;  // of the bookings found, in date order
};

TEST_F(AccountListsTest, JournalSearchFindsBookings) {
  const SearchCase cases[] = {
      {"all", {}, {"EB", "EB", "R-1", "E-1", "K-1", "B-1", "Z-1", "EB", "K-2", "R-2", "A-1"}},
      {"dates", {"150316", "250316"}, {"B-1", "Z-1", "EB", "K-2"}},
      {"document prefix", {"", "", "R-"}, {"R-1", "R-2"}},
      {"debit account", {"", "", "", "   4210"}, {"K-1", "B-1"}},
      {"credit and date", {"310116", "", "", "", "   1200"}, {"B-1", "K-2"}},
      {"both accounts", {"", "", "", "   1200", "   1000"}, {"E-1"}},
      // the gross amount of any line counts, not the net one
      {"gross", {"", "", "", "", "", "000000230,00"}, {"K-1", "K-2"}},
      {"net is no gross", {"", "", "", "", "", "000000200,00"}, {}},
      {"nothing", {"", "", "X"}, {}},
  };
  for (const SearchCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<JournalBooking> found;
    bool more = true;
    ASSERT_TRUE(FindBookings(c.filter, 100, found, more));
    EXPECT_FALSE(more);
    std::vector<std::string> vouchers;
    for (const JournalBooking& b : found) vouchers.push_back(b.lines.front().voucherNo);
    EXPECT_EQ(vouchers, c.vouchers);
  }
  // A booking with its collective record is one entry with both lines.
  std::vector<JournalBooking> found;
  bool more = false;
  ASSERT_TRUE(FindBookings({"", "", "R-1"}, 100, found, more));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].lines.size(), 2u);
  ASSERT_TRUE(FindBookings({}, 3, found, more));
  EXPECT_EQ(found.size(), 3u);
  EXPECT_TRUE(more);
}

struct PeriodCase {
  const char* name;
  int radio;
  const char* year;
  const char* from;
  const char* to;
  const char* first;  // expected, or the message
  const char* last;
  int message;
};

TEST_F(AccountListsTest, PeriodsAreReadAndChecked) {
  using namespace periodids;
  const PeriodCase cases[] = {
      {"March", kFirstMonth + 2, "1996", "", "", "010316", "310316", 0},
      {"second quarter", kFirstQuarter + 1, "96", "", "", "010416", "300616", 0},
      {"whole year", kGesamtjahr, "1996", "", "", "010116", "311216", 0},
      {"bad year", kFirstMonth, "19x6", "", "", "", "", 8},
      {"closed year", kFirstMonth, "1995", "", "", "", "", 85},
      {"exact range", kTagesgenau, "", "02.03.1996", "15.3.96", "020316", "150316", 0},
      {"over the year end", kTagesgenau, "", "01.12.1996", "05.01.1997", "", "", 87},
      {"backwards", kTagesgenau, "", "15.03.1996", "01.03.1996", "", "", 86},
  };
  for (const PeriodCase& c : cases) {
    SCOPED_TRACE(c.name);
    talvera::testing::FakeDialog d;
    d.text[kYear] = c.year;
    d.text[kFirstDate] = c.from;
    d.text[kLastDate] = c.to;
    messages_.shown.clear();
    char first[11] = "", last[11] = "";
    bool ok = ReadPeriod(d, c.radio, first, last);
    EXPECT_EQ(ok, c.message == 0);
    if (c.message) {
      EXPECT_EQ(messages_.Numbers(), std::vector<int>{c.message});
    } else {
      EXPECT_STREQ(first, c.first);
      EXPECT_STREQ(last, c.last);
    }
  }
}

// The period memory is shared by every evaluation dialog; "SetzeJahr" moves
// the year by the chosen month in a fiscal year that starts in July.
TEST_F(AccountListsTest, PeriodMemoryAndSetzeJahr) {
  using namespace periodids;
  ForgetPeriodChoice();
  PeriodChoice initial = InitialPeriodChoice();
  EXPECT_EQ(initial.radio, kFirstMonth + 11);  // December of 20.12.1996
  EXPECT_EQ(initial.year, "1996");
  RememberPeriodChoice({kFirstQuarter, "1996"});
  EXPECT_EQ(InitialPeriodChoice().radio, kFirstQuarter);
  ForgetPeriodChoice();

  CurrentMandant().fiscalStartMonth = 7;
  EXPECT_EQ(YearForChoice(kFirstMonth, true), "1997");      // January 1997
  EXPECT_EQ(YearForChoice(kFirstMonth + 6, true), "1996");  // July 1996
  EXPECT_EQ(YearForChoice(kGesamtjahr, true), "1996");
  EXPECT_EQ(YearForChoice(kFirstMonth, false), "");
  EXPECT_EQ(SelectorOfRadio(kFirstMonth), 7);  // January is the seventh fiscal month
  CurrentMandant().fiscalStartMonth = 1;
}

}  // namespace
