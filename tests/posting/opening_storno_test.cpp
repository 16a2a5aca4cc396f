// Opening postings and stornos of posted bookings.
#include "posting_fixture.h"

#include "posting/invariants.h"
#include "posting/opening_posting.h"

namespace talvera::testing {
namespace {

constexpr int S = 2, K = 4, D = 8;
namespace s = layouts::sako;
namespace p = layouts::personal;
namespace op = layouts::open_item;

class OpeningPostingTest : public PostingTest {
 protected:
  std::vector<std::string> Problems() {
    std::vector<std::string> problems;
    EXPECT_TRUE(CheckTotalsAgainstJournal(problems));
    return problems;
  }
  std::string Field(int kind, const char* account, const layouts::Field& f) {
    auto r = Account(kind, account);
    return layouts::FieldBytes(r.data(), f);
  }
  static OpeningEntry Entry(const char* date, const char* account, int kind, int side, const char* amount) {
    OpeningEntry e;
    e.date = date;
    char number[8];
    std::snprintf(number, sizeof number, "%7s", account);
    e.account = number;
    e.kind = kind;
    e.side = side;
    e.amount = amount;
    e.text = "Vortrag";
    return e;
  }
};

TEST_F(OpeningPostingTest, PreviousYearEntryOpensBothYears) {
  ASSERT_TRUE(PostOpeningEntry(Entry("010145", "1200", S, 0, "000000500,00")));
  EXPECT_EQ(WorkingYear(), "2026");
  EXPECT_EQ(Field(S, "1200", s::kOpeningDebit), "000000500,00");
  EXPECT_EQ(Field(S, "1200", s::kPrevClosingBalance), "000000500,00");
  EXPECT_EQ(Field(S, "9000", s::kPrevCreditTurnover), "000000500,00");
  // The carry-forward record of 1200 in the current year's journal.
  auto now = Journal();
  ASSERT_EQ(now.size(), 1u);
  EXPECT_EQ(J(now[0], bube::kDebitAccount), "   1200");
  EXPECT_EQ(J(now[0], bube::kDebitAmount), "000000500,00");
  EXPECT_FALSE(bube::IsOpeningPosting(now[0].data()));
  auto problems = Problems();
  EXPECT_TRUE(problems.empty()) << problems.front();

  ASSERT_TRUE(SwitchWorkingYear("2025"));
  EXPECT_EQ(Field(S, "1200", s::kOpeningDebit), "000000500,00");
  EXPECT_EQ(Total(S, "1200", 1, 0), "000000000,00");
  EXPECT_EQ(Total(S, "9000", 1, 1), "000000500,00");
  auto old = Journal();
  ASSERT_EQ(old.size(), 1u);
  EXPECT_TRUE(bube::IsOpeningPosting(old[0].data()));
  EXPECT_EQ(J(old[0], bube::kCreditAccount), "   9000");
  EXPECT_EQ(J(old[0], bube::kText), "EB Vortrag");
  problems = Problems();
  EXPECT_TRUE(problems.empty()) << problems.front();
}

// Cause: the checker skipped every flag-2 record, so after an opening
// posting the carry-forward account's period totals disagreed with the journal.
TEST_F(OpeningPostingTest, CheckerAgreesAfterOpeningPostings) {
  ASSERT_TRUE(PostOpeningEntry(Entry("020146", "10000", D, 0, "000000119,00")));
  ASSERT_TRUE(PostOpeningEntry(Entry("020146", "70000", K, 1, "000000238,00")));
  ASSERT_TRUE(PostOpeningEntry(Entry("020146", "1200", S, 1, "000000050-00")));
  ASSERT_TRUE(Booking("050146").Line("10000", D, "8400", S, "000000119,00", "000000100,00", 1, 2, "19,00").Post());
  auto problems = Problems();
  EXPECT_TRUE(problems.empty()) << problems.front();
  EXPECT_EQ(Field(D, "10000", p::kOpeningDebit), "000000119,00");
  EXPECT_EQ(Field(S, "1400", s::kOpeningDebit), "000000119,00");
  EXPECT_EQ(Field(S, "1600", s::kOpeningCredit), "000000238,00");
  EXPECT_EQ(Field(S, "1200", s::kOpeningDebit), "000000050,00");
  EXPECT_EQ(Total(S, "9000", 1, 0), "000000188,00");  // 238,00 - 50,00
  EXPECT_EQ(Total(S, "9000", 1, 1), "000000119,00");
  EXPECT_EQ(Total(D, "10000", 1, 0), "000000119,00");  // the invoice only

  auto debi = OpenItems(kSlotOpdebi);
  ASSERT_EQ(debi.size(), 2u);
  EXPECT_EQ(std::string(layouts::FieldBytes(debi[0].data(), op::kVoucherNo)), "EB");
  EXPECT_EQ(layouts::GetNumber(debi[0].data(), op::kCreditNote), 0);
  auto kred = OpenItems(kSlotOpkred);
  ASSERT_EQ(kred.size(), 1u);
  EXPECT_EQ(layouts::GetNumber(kred[0].data(), op::kCreditNote), 0);
}

TEST_F(OpeningPostingTest, OutsideTheOpenYearsIsRefused) {
  EXPECT_FALSE(PostOpeningEntry(Entry("010144", "1200", S, 0, "000000500,00")));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{83});
  EXPECT_EQ(Journal().size(), 0u);
}

}  // namespace
}  // namespace talvera::testing
