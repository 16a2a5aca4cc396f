// Account sheets on the fixed Mandant (support/fixed_mandant.md holds the
// hand calculation the golden files and the figures below were checked
// against).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/layouts/bube.h"
#include "posting/posting_engine.h"
#include "reports/account_sheet.h"
#include "reports/report_buffer.h"
#include "reports/report_kinds.h"
#include "support/fixed_mandant.h"
#include "support/golden_report.h"

using namespace talvera;
using talvera::testing::Booking;
using talvera::testing::FixedMandantTest;

namespace {

class AccountSheetTest : public FixedMandantTest {
 protected:
  static AccountSheetOptions Period(PeriodSelector selector, const char* first, const char* last) {
    AccountSheetOptions o;
    o.selector = selector;
    std::strcpy(o.first, first);
    std::strcpy(o.last, last);
    return o;
  }
  static SheetAccount Account(AccountKind kind, const char* number) { return {kind, Padded(number)}; }
  static std::string Text() {
    std::string all;
    for (int i = 0; i < TheReportBuffer().LineCount(); ++i) all += std::string(TheReportBuffer().Line(i)) + "\n";
    return all;
  }
};

struct SheetCase {
  const char* golden;
  AccountKind kind;
  const char* account;
  PeriodSelector selector;
  const char* first;
  const char* last;
  bool resolve;
  bool costCentres;
  int linesPerPage;
};

// One Sachkonto by month and by a free range, the Debitor and its collective
// account (folded and resolved), the two tax accounts, a printed sheet with
// cost centres (width 124) and a printed year long enough to carry its sums
// from page to page.
TEST_F(AccountSheetTest, SheetGoldens) {
  ASSERT_TRUE(PostCostCentreBookings());
  const SheetCase cases[] = {
      {"kontenblatt_1200_maerz", kSachkonto, "1200", 3, "010316", "310316", false, false, 0},
      {"kontenblatt_1200_16_31_maerz", kSachkonto, "1200", 0, "160316", "310316", false, false, 0},
      {"kontenblatt_1000_maerz", kSachkonto, "1000", 3, "010316", "310316", false, false, 0},
      {"kontenblatt_10000_jahr", kDebitor, "10000", 17, "010116", "311216", false, false, 0},
      {"kontenblatt_1400_maerz", kSachkonto, "1400", 3, "010316", "310316", false, false, 0},
      {"kontenblatt_1400_maerz_aufgeloest", kSachkonto, "1400", 3, "010316", "310316", true, false, 0},
      {"kontenblatt_1775_jahr", kSachkonto, "1775", 17, "010116", "311216", false, false, 0},
      {"kontenblatt_1575_quartal", kSachkonto, "1575", 13, "010116", "310316", false, false, 0},
      {"kontenblatt_4900_kost_druck", kSachkonto, "4900", 3, "010316", "310316", false, true, 60},
      {"kontenblatt_1200_jahr_druck", kSachkonto, "1200", 17, "010116", "311216", false, false, 20},
  };
  // The same sheets when an account's entries are sorted in runs of two on
  // the temporary file.
  for (std::size_t held : {std::size_t{65536}, std::size_t{2}}) {
    SetSheetEntriesHeld(held);
    for (const SheetCase& c : cases) {
      SCOPED_TRACE(c.golden);
      AccountSheetOptions o = Period(c.selector, c.first, c.last);
      o.resolveCollective = c.resolve;
      o.costCentres = c.costCentres;
      o.linesPerPage = c.linesPerPage;
      int lines = BuildAccountSheet(Account(c.kind, c.account), o);
      ASSERT_GT(lines, 0);
      EXPECT_EQ(TheReportBuffer().LineCount(), lines);
      talvera::testing::ExpectGolden(TALVERA_GOLDEN_DIR, c.golden,
                                     talvera::testing::GoldenText(
                                         TheReportBuffer(), ReportWidth(kReportKontenblatt, TheReportBuffer().Width())));
    }
  }
  SetSheetEntriesHeld(65536);
  EXPECT_TRUE(messages_.shown.empty());
}

struct FiguresCase {
  const char* name;
  const char* account;
  PeriodSelector selector;
  const char* first;
  const char* last;
  long long broughtForward, periodDebit, periodCredit, yearDebit, yearCredit;
};

// The closing figures agree with the trial balance of the same day.
TEST_F(AccountSheetTest, FiguresAgreeWithTheTotals) {
  const FiguresCase cases[] = {
      // March: 500 opening + 300 in February; 115 in, 40 and 230 out
      {"1200 March", "1200", 3, "010316", "310316", 80000, 11500, 27000, 91500, 27000},
      // up to 15.03.: the trial balance per 15.03. (760,00 Soll)
      {"1200 from 16.03.", "1200", 0, "160316", "310316", 76000, 11500, 23000, 87500, 23000},
      // a range from the first day of the year starts from the opening values
      {"1200 from 01.01.", "1200", 0, "010116", "310316", 50000, 41500, 27000, 91500, 27000},
      // the opening record of 22.03. is listed, but in neither sum: it is in the opening values
      {"1000 March", "1000", 3, "010316", "310316", -20000, 0, 0, 0, 20000},
      // the closing posting of 31.12. comes in with the year: 100,00 Haben as per 31.12.
      {"8400 year", "8400", 17, "010116", "311216", 0, 5000, 15000, 5000, 15000},
  };
  for (const FiguresCase& c : cases) {
    SCOPED_TRACE(c.name);
    SheetFigures f;
    ASSERT_GT(BuildAccountSheet(Account(kSachkonto, c.account), Period(c.selector, c.first, c.last), &f), 0);
    EXPECT_EQ(f.broughtForward, c.broughtForward);
    EXPECT_EQ(f.periodDebit, c.periodDebit);
    EXPECT_EQ(f.periodCredit, c.periodCredit);
    EXPECT_EQ(f.yearDebit, c.yearDebit);
    EXPECT_EQ(f.yearCredit, c.yearCredit);
  }
}

// An account that is both the debit account and the tax account of one
// record lists the record twice: its debit amount and its tax.
TEST_F(AccountSheetTest, DebitAndTaxAccountOfOneRecordGivesBothLines) {
  namespace b = layouts::bube;
  char r[b::kLayout.recordLength];
  layouts::InitRecord(b::kLayout, r);
  char key[11];
  ASSERT_TRUE(NextJournalKey("020416", key));
  layouts::SetRawText(r, b::kPostingKey, key);
  layouts::SetRawText(r, b::kPostingDate, "020416");
  layouts::SetRawText(r, b::kVoucherDate, "020416");
  layouts::SetRawText(r, b::kVoucherNo, "V-1");
  layouts::SetRawText(r, b::kDebitAccount, "   1575");
  layouts::SetRawText(r, b::kCreditAccount, "   1200");
  layouts::SetRawText(r, b::kTaxAccount, "   1575");
  layouts::SetRawText(r, b::kDebitAmount, "000000020,00");
  layouts::SetRawText(r, b::kCreditAmount, "000000023,00");
  layouts::SetRawText(r, b::kTaxAmount, "000000003,00");
  layouts::SetNumber(r, b::kTaxSideFlags, 0x20 | 2);
  layouts::SetNumber(r, b::kFlags, 0x40);
  ASSERT_TRUE(Insert(r, MakeFileId(kSlotBube, 0)));
  SheetFigures f;
  AccountSheetOptions o = Period(0, "010416", "300416");
  ASSERT_GT(BuildAccountSheet(Account(kSachkonto, "1575"), o, &f), 0);
  EXPECT_EQ(f.postings, 2);
  EXPECT_EQ(f.periodDebit, 2300);
  EXPECT_EQ(f.broughtForward, 3000);
}

// The account keys list records as they were posted; the sheet lists them
// by date, whether it holds them all or sorts them in runs on a temporary
// file (two entries a run here).
TEST_F(AccountSheetTest, ListsByDateWhateverOrderTheyWerePostedIn) {
  constexpr int S = kSachkonto;
  ASSERT_TRUE(Booking("280416", "Spaet", "V-28").Line("4210", S, "1200", S, "000000028,00").Post());
  ASSERT_TRUE(Booking("030416", "Frueh", "V-03").Line("1200", S, "1000", S, "000000003,00").Post());
  ASSERT_TRUE(Booking("150416", "Mitte", "V-15").Line("4210", S, "1200", S, "000000015,00").Post());
  ASSERT_TRUE(Booking("040416", "Frueh 2", "V-04").Line("1200", S, "1000", S, "000000004,00").Post());
  ASSERT_TRUE(Booking("100416", "Mitte 2", "V-10").Line("4210", S, "1200", S, "000000010,00").Post());
  for (std::size_t held : {std::size_t{65536}, std::size_t{2}}) {
    SCOPED_TRACE(held);
    SetSheetEntriesHeld(held);
    SheetFigures f;
    ASSERT_GT(BuildAccountSheet(Account(kSachkonto, "1200"), Period(4, "010416", "300416"), &f), 0);
    EXPECT_EQ(f.postings, 5);
    EXPECT_EQ(f.periodDebit, 700);
    EXPECT_EQ(f.periodCredit, 5300);
    std::string text = Text();
    std::size_t at = 0;
    for (const char* voucher : {"V-03", "V-04", "V-10", "V-15", "V-28"}) {
      std::size_t next = text.find(voucher);
      ASSERT_NE(next, std::string::npos) << voucher;
      EXPECT_GT(next, at) << voucher;
      at = next;
    }
  }
  SetSheetEntriesHeld(65536);
}

// Without "ohne Buchungen" an account without values or postings in the
// period gives no sheet; a free range without postings and without a
// balance neither. The run reports that every sheet was empty.
TEST_F(AccountSheetTest, EmptySheetsAndTheRunOverARange) {
  AccountSheetOptions april = Period(4, "010416", "300416");
  EXPECT_EQ(BuildAccountSheet(Account(kSachkonto, "4900"), april), 0);
  EXPECT_EQ(BuildAccountSheet(Account(kSachkonto, "4900"), Period(0, "050416", "060416")), 0);
  EXPECT_GT(BuildAccountSheet(Account(kSachkonto, "1200"), Period(0, "050416", "060416")), 0);
  april.withoutPostings = true;
  EXPECT_GT(BuildAccountSheet(Account(kSachkonto, "4900"), april), 0);
  EXPECT_EQ(BuildAccountSheet(Account(kSachkonto, "4711"), april), -1);

  std::vector<SheetAccount> accounts;
  ASSERT_TRUE(ListSheetAccounts(2 | 8, Padded("4000"), Padded("20000"), accounts));
  std::vector<std::string> numbers;
  for (const SheetAccount& a : accounts) numbers.push_back(a.number);
  EXPECT_EQ(numbers, (std::vector<std::string>{"   4210", "   4900", "   8400", "   9000", "  10000"}));

  std::vector<SheetAccount> plAccounts(accounts.begin(), accounts.begin() + 2);
  int printed = 0;
  AccountSheetOptions january = Period(1, "010116", "310116");
  SheetRunResult empty = PrintAccountSheets(plAccounts, january, [&](int) { return ++printed, true; }, nullptr);
  EXPECT_EQ(empty.printed, 0);
  EXPECT_FALSE(empty.failed || empty.stopped);

  AccountSheetOptions march = Period(3, "010316", "310316");
  SheetRunResult all = PrintAccountSheets(accounts, march, [&](int) { return ++printed, true; }, nullptr);
  EXPECT_EQ(all.printed, 4);  // 4900 has nothing in March
  EXPECT_EQ(printed, 4);
  // "Abbrechen" in the progress window stops before the next sheet.
  SheetRunResult stopped = PrintAccountSheets(
      accounts, march, [](int) { return true; }, [](int sheet, int) { return sheet < 2; });
  EXPECT_TRUE(stopped.stopped);
  EXPECT_EQ(stopped.printed, 1);
}

}  // namespace
