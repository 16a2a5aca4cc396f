// Opening postings and stornos of posted bookings.
#include "posting_fixture.h"

#include "posting/invariants.h"
#include "posting/opening_posting.h"
#include "posting/storno.h"

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


class StornoTest : public OpeningPostingTest {
 protected:
  long Post(Booking& b) {
    long number = 0;
    EXPECT_TRUE(PostBooking(b.data(), true, &number));
    return number;
  }
  static long long C(const std::string& amount) {
    long long c = 0;
    AmountToCents(amount.c_str(), &c);
    return c;
  }
  // Debit minus credit of an account's period.
  long long Net(int kind, const char* account, int period) {
    return C(Total(kind, account, period, 0)) - C(Total(kind, account, period, 1));
  }
};

TEST_F(StornoTest, SplitWithDebitorIsCancelledLineByLine) {
  Booking split("150146", "Rechnung 7", "R-7");
  split.Line("10000", D, "8400", S, "000000119,00", "000000100,00", 1, 2, "19,00")
      .Line("10000", D, "8400", S, "000000238,00", "000000200,00", 1, 2, "19,00")
      .Line("10000", D, "8400", S, "000000059,50", "000000050,00", 1, 2, "19,00");
  long number = Post(split);
  ASSERT_EQ(OpenItems(kSlotOpdebi).size(), 1u);
  size_t before = Journal().size();
  ASSERT_EQ(before, 6u);  // three lines, three collective-account records

  EXPECT_EQ(CancelBooking(number, "200146"), StornoResult::kPosted);
  auto journal = Journal();
  ASSERT_EQ(journal.size(), 12u);
  std::vector<std::vector<char>> lines;
  for (size_t i = before; i < journal.size(); ++i)
    if (!(JN(journal[i], bube::kFlags) & 8)) lines.push_back(journal[i]);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(JN(lines[0], bube::kFlags) & 0x40, 0x40);
  EXPECT_EQ(JN(lines[0], bube::kFlags) >> 11, 5);  // one booking of six records
  EXPECT_EQ(J(lines[0], bube::kText), "Storno Rechnung 7");
  EXPECT_EQ(J(lines[0], bube::kPostingDate), "200146");
  EXPECT_EQ(J(lines[1], bube::kDebitAmount), "000000238-00");
  EXPECT_EQ(J(lines[1], bube::kCreditAmount), "000000200-00");
  EXPECT_EQ(J(lines[2], bube::kTaxAmount), "000000009-50");
  for (const char* account : {"8400", "1776", "1400"}) EXPECT_EQ(Net(S, account, 1), 0) << account;
  EXPECT_EQ(Net(D, "10000", 1), 0);
  EXPECT_EQ(OpenItems(kSlotOpdebi).size(), 0u);
  auto problems = Problems();
  EXPECT_TRUE(problems.empty()) << problems.front();

  // A second storno of the same booking is refused and writes nothing.
  EXPECT_EQ(CancelBooking(number, ""), StornoResult::kAlreadyCancelled);
  EXPECT_EQ(Journal().size(), 12u);
}

TEST_F(StornoTest, ReverseChargeIsCancelledOnce) {
  Booking purchase("150146", "Bauleistung", "E-1");
  purchase.Line("3120", S, "70000", K, "000001000,00", nullptr, 0, 0x80, "");
  long number = Post(purchase);
  std::string input, output;
  for (auto& r : Journal())
    if (JN(r, bube::kFlags) == 0x10) input = J(r, bube::kDebitAccount), output = J(r, bube::kCreditAccount);
  ASSERT_FALSE(input.empty());
  ASSERT_NE(Net(S, input.c_str(), 1), 0);
  EXPECT_EQ(CancelBooking(number, ""), StornoResult::kPosted);
  EXPECT_EQ(Net(S, input.c_str(), 1), 0) << input;
  EXPECT_EQ(Net(S, output.c_str(), 1), 0) << output;
  EXPECT_EQ(C(Total(S, input.c_str(), 1, 0)), 0);
  auto problems = Problems();
  EXPECT_TRUE(problems.empty()) << problems.front();
}

// The open item keeps its payment history: an invoice already paid in part
// is not cancelled.
TEST_F(StornoTest, PaidInvoiceIsRefused) {
  Booking invoice("150146", "Rechnung 8", "R-8");
  invoice.Line("10000", D, "8400", S, "000000119,00", "000000100,00", 1, 2, "19,00");
  long number = Post(invoice);
  std::vector<char> item(layouts::open_item::kLayout.recordLength);
  bool found = false;
  ASSERT_TRUE(GetFirstFound(item.data(), found, kSlotOpdebi) && found);
  layouts::SetRawText(item.data(), op::kOutstanding, "000000019,00");
  ASSERT_TRUE(Update(item.data(), kSlotOpdebi));
  CloseSlot(kSlotOpdebi);
  EXPECT_EQ(CancelBooking(number, ""), StornoResult::kHasPayments);
  EXPECT_EQ(Journal().size(), 2u);
  EXPECT_EQ(OpenItems(kSlotOpdebi).size(), 1u);
}

TEST_F(StornoTest, OpeningPostingIsCancelledByANegativeOne) {
  ASSERT_TRUE(PostOpeningEntry(Entry("020146", "1200", S, 0, "000000500,00")));
  long number = JN(Journal()[0], bube::kPostingNo);
  EXPECT_EQ(CancelBooking(number, ""), StornoResult::kPosted);
  EXPECT_EQ(Field(S, "1200", s::kOpeningDebit), "000000000,00");
  EXPECT_EQ(Field(S, "1200", s::kOpeningCredit), "000000000,00");
  EXPECT_EQ(Net(S, "9000", 1), 0);
  auto journal = Journal();
  ASSERT_EQ(journal.size(), 2u);
  EXPECT_TRUE(bube::IsOpeningPosting(journal[1].data()));
  EXPECT_EQ(J(journal[1], bube::kText), "EB Storno Vortrag");
  auto problems = Problems();
  EXPECT_TRUE(problems.empty()) << problems.front();
}

// A reclassification is cancelled as a reclassification (its records keep
// the flag the VAT return reads) and a closing posting as a closing posting:
// its amounts leave the closing pair and the monthly totals stay untouched.
TEST_F(StornoTest, StornoKeepsTheModeOfTheCancelledBooking) {
  struct Case {
    const char* name;
    PostingMode mode;
    const char* date;
    unsigned flag;  // the mode's journal flag
  };
  const Case cases[] = {
      {"reclassification", PostingMode::kReclassification, "150146", 0x10},
      {"closing posting", PostingMode::kClosing, "311246", 0x04},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetPostingMode(c.mode);
    Booking b(c.date, "Umbuchung", "U-1");
    b.Line("1776", S, "1576", S, "000000100,00");
    long number = Post(b);
    SetPostingMode(PostingMode::kOrdinary);
    ASSERT_NE(number, 0);
    auto posted = Account(S, "1776");
    ASSERT_EQ(C(c.mode == PostingMode::kClosing ? layouts::FieldBytes(posted.data(), s::kClosingDebit)
                                                : Total(S, "1776", 1, 0)),
              10000);
    size_t before = Journal().size();

    ASSERT_EQ(CancelBooking(number, ""), StornoResult::kPosted);
    EXPECT_EQ(CurrentPostingMode(), PostingMode::kOrdinary);
    auto journal = Journal();
    ASSERT_EQ(journal.size(), before + 1);
    EXPECT_EQ(JN(journal.back(), bube::kFlags) & c.flag, c.flag);
    EXPECT_EQ(J(journal.back(), bube::kDebitAmount), "000000100-00");
    for (const char* account : {"1776", "1576"}) {
      auto r = Account(S, account);
      EXPECT_EQ(C(layouts::FieldBytes(r.data(), s::kClosingDebit)) -
                    C(layouts::FieldBytes(r.data(), s::kClosingCredit)),
                0)
          << account;
      for (int period = 1; period <= 12; ++period) {
        EXPECT_EQ(Net(S, account, period), 0) << account << " in period " << period;
        if (c.mode == PostingMode::kClosing) {
          EXPECT_EQ(C(Total(S, account, period, 0)), 0) << account;
        }
      }
    }
    auto problems = Problems();
    EXPECT_TRUE(problems.empty()) << problems.front();
  }
}

// A booking of the previous year cancelled on a date of the current year:
// the storno stands in the current year, the mark on the cancelled booking
// in the previous one, and the open item (kept in the current year) is gone.
TEST_F(StornoTest, PreviousYearBookingIsCancelledInTheCurrentYear) {
  ASSERT_TRUE(SwitchWorkingYear("2025"));
  Booking invoice("151245", "Rechnung 9", "R-9");
  invoice.Line("10000", D, "8400", S, "000000119,00", "000000100,00", 1, 2, "19,00");
  long number = Post(invoice);
  ASSERT_TRUE(SwitchWorkingYear("2025"));
  ASSERT_EQ(CancelBooking(number, "100146"), StornoResult::kPosted);
  EXPECT_EQ(WorkingYear(), "2025") << "the year selected before";
  auto old = Journal();
  ASSERT_EQ(old.size(), 2u);
  EXPECT_EQ(JN(old[0], bube::kFlags) & 0x400, 0x400);
  EXPECT_EQ(CancelBooking(number, ""), StornoResult::kAlreadyCancelled);
  ASSERT_TRUE(SwitchWorkingYear("2026"));
  EXPECT_EQ(Net(S, "8400", 1), 10000);  // the storno's credit of -100,00
  EXPECT_TRUE(OpenItems(kSlotOpdebi).empty());
  auto problems = Problems();
  EXPECT_TRUE(problems.empty()) << problems.front();
}

TEST_F(StornoTest, SelectedBookingsAreCancelledInTurn) {
  EXPECT_EQ(CancelSelectedBookings({}, "").posted, 0);
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{715});
  Booking a("150146", "A", "A-1"), b("160146", "B", "B-1");
  a.Line("1200", S, "8400", S, "000000100,00");
  b.Line("4210", S, "1200", S, "000000050,00");
  Post(a);
  Post(b);
  std::vector<JournalBooking> found;
  bool more = false;
  ASSERT_TRUE(FindBookings(JournalFilter{}, 10, found, more));
  ASSERT_EQ(found.size(), 2u);
  StornoRun run = CancelSelectedBookings(found, "");
  EXPECT_EQ(run.posted, 2);
  EXPECT_EQ(Net(S, "1200", 1), 0);
  EXPECT_EQ(Journal().size(), 4u);
}

}  // namespace
}  // namespace talvera::testing
