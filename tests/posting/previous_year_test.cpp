// Bookings dated in the previous year: the booking and its carry-forward
// into the current year are one change, and the cross-year check sees any
// difference between the years.
#include "posting_fixture.h"

#include "posting/invariants.h"

namespace talvera::testing {
namespace {

constexpr int S = 2, K = 4, D = 8;
namespace s = layouts::sako;
namespace p = layouts::personal;

class PreviousYearTest : public PostingTest {
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
  // Changes one field of a Sachkonto of the working year.
  void SetSachkontoField(const char* number, const layouts::Field& f, const char* value) {
    char key[8];
    std::snprintf(key, sizeof key, "%7s", number);
    std::vector<char> r(s::kLayout.recordLength);
    bool found = false;
    ASSERT_TRUE(GetEqual(r.data(), KeyValue(key, 8), found, kSlotSako) && found);
    layouts::SetRawText(r.data(), f, value);
    ASSERT_TRUE(Update(r.data(), kSlotSako));
  }
};

// Cause: the carry-forward ran in a transaction of its own after the
// booking had committed, so its failure left the booking in the old year.
TEST_F(PreviousYearTest, FailedCarryForwardTakesTheBookingBack) {
  // The bank account is missing in the current year.
  std::vector<char> bank = Account(S, "1200");
  ASSERT_TRUE(Delete(kSlotSako));
  EXPECT_FALSE(Booking("101245").Line("1200", S, "10000", D, "000000119,00").Post());
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{799});
  EXPECT_NE(messages_.shown.back().text.find("1200"), std::string::npos);
  EXPECT_EQ(OpenItems(kSlotOpdebi).size(), 0u);
  ASSERT_TRUE(SwitchWorkingYear("2025"));
  EXPECT_EQ(Journal().size(), 0u);
  EXPECT_EQ(Total(D, "10000", 12, 1), "000000000,00");
  EXPECT_EQ(Total(S, "1200", 12, 0), "000000000,00");
  ASSERT_TRUE(SwitchWorkingYear("2026"));
  EXPECT_EQ(Journal().size(), 0u);
  EXPECT_EQ(Field(D, "10000", p::kOpeningCredit), "000000000,00");
  EXPECT_TRUE(Problems().empty());
}

// Cause: the carry-forward walked only the booking's lines, not the
// reverse-charge record it wrote.
TEST_F(PreviousYearTest, ReverseChargeIsCarriedForward) {
  ASSERT_TRUE(Booking("120645").Line("3425", S, "70000", K, "000001000,00", nullptr, 0, 0x80, "").Post());
  // The accounts of acquisitions at 19 %.
  EXPECT_EQ(Field(S, "1574", s::kOpeningDebit), "000000190,00");
  EXPECT_EQ(Field(S, "1574", s::kPrevDebitTurnover), "000000190,00");
  EXPECT_EQ(Field(S, "1774", s::kOpeningCredit), "000000190,00");
  EXPECT_EQ(Field(S, "1774", s::kPrevCreditTurnover), "000000190,00");
  auto problems = Problems();
  EXPECT_TRUE(problems.empty()) << problems.front();
}

TEST_F(PreviousYearTest, CrossYearCheckFindsFiguresThatDiffer) {
  ASSERT_TRUE(Booking("101245").Line("10000", D, "8400", S, "000000119,00", "000000100,00", 1, 2, "19,00").Post());
  EXPECT_TRUE(Problems().empty());
  // The tax account's carried balance and the revenue's carried turnover
  // no longer match the previous year.
  SetSachkontoField("1776", s::kPrevClosingBalance, "000000018,00");
  SetSachkontoField("8400", s::kPrevCreditTurnover, "000000000,00");
  std::vector<std::string> expected = {"Konto    1776: Vorjahressaldo passt nicht zum Vorjahr",
                                       "Konto    8400: Vorjahresumsätze passen nicht zum Vorjahr"};
  EXPECT_EQ(Problems(), expected);
  // The check needs the current year as the working year.
  ASSERT_TRUE(SwitchWorkingYear("2025"));
  EXPECT_TRUE(Problems().empty());
}

// Cause: every directory used made room by detaching the least recently
// used one, the open years too; a transaction that had written could then
// not reach the previous year (status 36).
TEST_F(PreviousYearTest, OpenYearsStayAttachedWhateverElseIsRead) {
  for (int i = 0; i < 12; ++i) {
    std::string dir = data_.path() + "/andere" + std::to_string(i);
    std::filesystem::create_directories(dir);
    ASSERT_TRUE(layouts::CreateFile(dir, "bank"));
    std::vector<char> r(layouts::personal::kLayout.recordLength);
    bool found = false;
    ASSERT_TRUE(OpenPath(dir + "/bank.btr", kSlotScratch));
    ASSERT_TRUE(GetFirstFound(r.data(), found, kSlotScratch));
    CloseSlot(kSlotScratch);
  }
  // Both bookings in one outer transaction: the second needs the previous
  // year after the first has written.
  ASSERT_TRUE(Transaction(kBegin));
  ASSERT_TRUE(Booking("150346").Line("1200", S, "1000", S, "000000010,00").Post());
  ASSERT_TRUE(Booking("101245").Line("1200", S, "1000", S, "000000020,00").Post());
  ASSERT_TRUE(Transaction(kEnd));
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ(Field(S, "1200", s::kOpeningDebit), "000000020,00");
  EXPECT_TRUE(Problems().empty());
}

}  // namespace
}  // namespace talvera::testing
