// Bookings on a small SKR 03 Mandant, with the figures worked out by hand.
#include "posting_fixture.h"

#include "posting/invariants.h"

namespace talvera::testing {
namespace {

namespace op = layouts::open_item;
constexpr int S = 2, K = 4, D = 8;  // Sachkonto, Kreditor, Debitor

void ExpectBalanced() {
  std::vector<std::string> problems;
  ASSERT_TRUE(CheckTotalsAgainstJournal(problems));
  EXPECT_TRUE(problems.empty()) << problems.front();
}

TEST_F(PostingTest, CustomerInvoiceWithVat) {
  // 119,00 to Meier: 100,00 revenue 8400, 19,00 output tax 1776.
  ASSERT_TRUE(Booking("150346").Line("10000", D, "8400", S, "000000119,00", "000000100,00", 1, 2, "19,00").Post());
  auto j = Journal();
  ASSERT_EQ(j.size(), 2u);
  EXPECT_EQ(J(j[0], bube::kPostingKey), "4603150000");
  EXPECT_EQ(J(j[0], bube::kDebitAccount), "  10000");
  EXPECT_EQ(J(j[0], bube::kDebitAmount), "000000119,00");
  EXPECT_EQ(J(j[0], bube::kCreditAmount), "000000100,00");
  EXPECT_EQ(J(j[0], bube::kTaxAccount), "   1776");
  EXPECT_EQ(J(j[0], bube::kTaxAmount), "000000019,00");
  EXPECT_EQ(JN(j[0], bube::kFlags), 0x40);
  EXPECT_EQ(JN(j[0], bube::kTaxSideFlags), 0x14);
  EXPECT_EQ(JN(j[0], bube::kTaxClass), 2);
  EXPECT_EQ(J(j[0], bube::kDebitShortCode), "Meier");
  EXPECT_EQ(J(j[0], bube::kCreditShortCode), "Erl.vo");
  EXPECT_EQ(J(j[0], bube::kEntryDate), "091246");
  // The collective record on the receivables account.
  EXPECT_EQ(J(j[1], bube::kPostingKey), "4603150001");
  EXPECT_EQ(J(j[1], bube::kDebitAccount), "   1400");
  EXPECT_EQ(J(j[1], bube::kCreditAccount), "");
  EXPECT_EQ(J(j[1], bube::kDebitAmount), "000000119,00");
  EXPECT_EQ(J(j[1], bube::kCreditAmount), "000000000,00");
  EXPECT_EQ(J(j[1], bube::kText), "SB Meier");
  EXPECT_EQ(JN(j[1], bube::kFlags), 8);

  EXPECT_EQ(Total(D, "10000", 3, 0), "000000119,00");
  EXPECT_EQ(Total(S, "8400", 3, 1), "000000100,00");
  EXPECT_EQ(Total(S, "1776", 3, 1), "000000019,00");
  EXPECT_EQ(Total(S, "1400", 3, 0), "000000119,00");
  EXPECT_EQ(layouts::GetNumber(Account(S, "8400").data(), layouts::sako::kPostingCount.At(2)), 1);

  // One open item: 30 days to pay, 2 % discount (2,38) within 10 days.
  auto items = OpenItems(kSlotOpdebi);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(J(items[0], op::kAmount), "000000119,00");
  EXPECT_EQ(J(items[0], op::kOutstanding), "000000119,00");
  EXPECT_EQ(J(items[0], op::kValueDate), "460315");
  EXPECT_EQ(J(items[0], op::kDueDate), "460414");
  EXPECT_EQ(J(items[0], op::kDiscountDate), "460325");
  EXPECT_EQ(J(items[0], op::kDiscountAmount), "000000002,38");
  EXPECT_EQ(J(items[0], op::kDiscountAccount), "   8736");
  EXPECT_EQ(JN(items[0], op::kCreditNote), 0);
  EXPECT_EQ(JN(items[0], op::kId), 1);
  EXPECT_TRUE(messages_.shown.empty());
  ExpectBalanced();
}

TEST_F(PostingTest, VendorInvoiceWithInputTax) {
  // 238,00 from Lieferant AG: goods 200,00 on 3400, input tax 38,00 on 1576.
  ASSERT_TRUE(Booking("020246").Line("3400", S, "70000", K, "000000238,00", "000000200,00", 2, 2, "19,00").Post());
  auto j = Journal();
  ASSERT_EQ(j.size(), 2u);
  EXPECT_EQ(J(j[0], bube::kDebitAmount), "000000200,00");
  EXPECT_EQ(J(j[0], bube::kCreditAmount), "000000238,00");
  EXPECT_EQ(J(j[0], bube::kTaxAccount), "   1576");
  EXPECT_EQ(JN(j[0], bube::kTaxSideFlags), 0x22);
  EXPECT_EQ(JN(j[0], bube::kTaxClass), 2 | 32);
  EXPECT_EQ(J(j[1], bube::kCreditAccount), "   1600");
  EXPECT_EQ(J(j[1], bube::kText), "SB Lief");
  EXPECT_EQ(Total(S, "3400", 2, 0), "000000200,00");
  EXPECT_EQ(Total(S, "1576", 2, 0), "000000038,00");
  EXPECT_EQ(Total(K, "70000", 2, 1), "000000238,00");
  EXPECT_EQ(Total(S, "1600", 2, 1), "000000238,00");
  auto items = OpenItems(kSlotOpkred);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(J(items[0], op::kAmount), "000000238,00");
  EXPECT_EQ(J(items[0], op::kDiscountAccount), "   3736");
  // No payment days: the discount days (0) are below 15, so 14 days.
  EXPECT_EQ(J(items[0], op::kDueDate), "460216");
  ExpectBalanced();
}

TEST_F(PostingTest, CustomerPaymentIntoTheBankIsACreditItem) {
  ASSERT_TRUE(Booking("200346").Line("1200", S, "10000", D, "000000119,00").Post());
  auto j = Journal();
  ASSERT_EQ(j.size(), 2u);
  EXPECT_EQ(J(j[1], bube::kCreditAccount), "   1400");
  EXPECT_EQ(J(j[1], bube::kCreditAmount), "000000119,00");
  EXPECT_EQ(Total(S, "1200", 3, 0), "000000119,00");
  EXPECT_EQ(Total(D, "10000", 3, 1), "000000119,00");
  auto items = OpenItems(kSlotOpdebi);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(J(items[0], op::kAmount), "000000119-00");
  EXPECT_EQ(JN(items[0], op::kCreditNote), 1);
  EXPECT_EQ(J(items[0], op::kDueDate), "460320");  // a credit is due at once
  EXPECT_EQ(JN(items[0], op::kDunningLevel), -1);
  // A line between a Debitor and a Kreditor makes no open item.
  ASSERT_TRUE(Booking("210346").Line("70000", K, "10000", D, "000000010,00").Post());
  EXPECT_EQ(OpenItems(kSlotOpdebi).size(), 1u);
  EXPECT_EQ(OpenItems(kSlotOpkred).size(), 0u);
  ExpectBalanced();
}

TEST_F(PostingTest, ThreeLineInvoiceMakesOneOpenItem) {
  Booking b("100446");
  b.Line("10000", D, "8400", S, "000000119,00", "000000100,00", 1, 2, "19,00")
      .Line("10000", D, "8736", S, "000000023,80", "000000020,00", 1, 2, "19,00")
      .Line("10000", D, "8400", S, "000000011,90", "000000010,00", 1, 2, "19,00");
  ASSERT_TRUE(b.Post());
  auto j = Journal();
  ASSERT_EQ(j.size(), 6u);  // three lines, three collective records
  // The first record counts the five further records and marks the split.
  EXPECT_EQ(JN(j[0], bube::kFlags), 0x40 | 0x80 | 5 * 0x800);
  EXPECT_EQ(Total(S, "1776", 4, 1), "000000024,70");
  // Posted as the start of a booking, every line counts its tax account.
  EXPECT_EQ(layouts::GetNumber(Account(S, "1776").data(), layouts::sako::kPostingCount.At(3)), 3);
  auto items = OpenItems(kSlotOpdebi);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(J(items[0], op::kAmount), "000000154,70");
  // The caller's line 0 keeps its own amount.
  EXPECT_STREQ(layouts::FieldBytes(b.data(), bat::kLine.In(0, bl::kGross)), "000000119,00");
  ExpectBalanced();
}

TEST_F(PostingTest, CostCentres) {
  // Rent 500,00 shared by the two cost centres; revenue booked against one.
  ASSERT_TRUE(Booking("050546").Line("4210", S, "1200", S, "000000500,00").CostCentres("    100", "    200").Post());
  ASSERT_TRUE(Booking("060546").Line("1200", S, "8120", S, "000000300,00").CostCentres("    100", "", 2).Post());
  namespace k = layouts::kore;
  std::vector<char> r(k::kLayout.recordLength);
  bool found = false;
  ASSERT_TRUE(GetEqual(r.data(), KeyValue("    100", 8), found, kSlotKore));
  EXPECT_STREQ(layouts::FieldBytes(r.data(), k::kPeriodAmount.At(4)), "000000200,00");
  EXPECT_EQ(layouts::GetNumber(r.data(), k::kUnposted), 0);
  ASSERT_TRUE(GetEqual(r.data(), KeyValue("    200", 8), found, kSlotKore));
  EXPECT_STREQ(layouts::FieldBytes(r.data(), k::kPeriodAmount.At(4)), "000000500,00");
  auto j = Journal();
  EXPECT_EQ(JN(j[1], bube::kCostCentreKind), 2 + 32);  // revenue: subtracted
  ExpectBalanced();
}

TEST_F(PostingTest, ReverseChargeOfAnEgPurchase) {
  // 1.000,00 from an EU supplier without tax: 19 % (the account's EG rate)
  // becomes input and output tax of the acquisition.
  ASSERT_TRUE(Booking("120646").Line("3425", S, "70000", K, "000001000,00", nullptr, 0, 0x80, "").Post());
  auto j = Journal();
  ASSERT_EQ(j.size(), 3u);
  EXPECT_EQ(J(j[2], bube::kDebitAccount), "   1574");  // the accounts of acquisitions at 19 %
  EXPECT_EQ(J(j[2], bube::kCreditAccount), "   1774");
  EXPECT_EQ(J(j[2], bube::kDebitAmount), "000000190,00");
  EXPECT_EQ(JN(j[2], bube::kFlags), 0x10);
  EXPECT_EQ(Total(S, "1574", 6, 0), "000000190,00");
  EXPECT_EQ(Total(S, "1774", 6, 1), "000000190,00");
  ExpectBalanced();
}

TEST_F(PostingTest, LinesOfACountedBookingCountTheirTaxAccountOnce) {
  // The later lines of a booking (posted with startsBooking false) count the
  // tax account only when no earlier record of the booking has it.
  ASSERT_TRUE(Booking("100446").Line("10000", D, "8400", S, "000000119,00", "000000100,00", 1, 2, "19,00").Post(true));
  ASSERT_TRUE(Booking("100446").Line("10000", D, "8736", S, "000000023,80", "000000020,00", 1, 2, "19,00").Post(false));
  EXPECT_EQ(layouts::GetNumber(Account(S, "1776").data(), layouts::sako::kPostingCount.At(3)), 1);
  EXPECT_EQ(layouts::GetNumber(Account(S, "1400").data(), layouts::sako::kPostingCount.At(3)), 1);
}

TEST_F(PostingTest, CurrencyBookingPostsTheHomeAmount) {
  ASSERT_TRUE(Booking("150746").Line("10000", D, "8120", S, "000000100,00").Currency("USD", "000000090,00").Post());
  EXPECT_EQ(Total(D, "10000", 7, 0), "000000090,00");
  EXPECT_EQ(Total(S, "8120", 7, 1), "000000090,00");
  // With tax, the net amount turns into home currency at the same rate:
  // 119,00 USD = 107,10 EUR, net 100,00 USD = 90,00 EUR, tax 17,10.
  ASSERT_TRUE(Booking("160746").Line("10000", D, "8400", S, "000000119,00", "000000100,00", 1, 2, "19,00")
                  .Currency("USD", "000000107,10").Post());
  EXPECT_EQ(Total(S, "8400", 7, 1), "000000090,00");
  EXPECT_EQ(Total(S, "1776", 7, 1), "000000017,10");
  auto items = OpenItems(kSlotOpdebi);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(J(items[0], op::kAmount), "000000090,00");
  EXPECT_EQ(J(items[0], op::kCurrency), "USD");
  EXPECT_EQ(J(items[0], op::kCurrencyAmount), "000000100,00");
  ExpectBalanced();
}

// Cause: every line received the header's home amount, so the lines
// of a booking in foreign currency added up to a multiple of it.
TEST_F(PostingTest, CurrencyLinesShareTheHomeAmount) {
  // 10,00 + 10,00 + 20,00 USD = 30,02 EUR: 7,505 rounds to 7,51 twice and
  // 15,01 once, one cent too many, which the largest line gives back.
  Booking b("170746");
  b.Line("10000", D, "8120", S, "000000010,00")
      .Line("10000", D, "8125", S, "000000010,00")
      .Line("10000", D, "8400", S, "000000020,00", "000000016,81", 1, 2, "19,00")
      .Currency("USD", "000000030,02");
  ASSERT_TRUE(b.Post());
  EXPECT_EQ(Total(D, "10000", 7, 0), "000000030,02");
  EXPECT_EQ(Total(S, "8120", 7, 1), "000000007,51");
  EXPECT_EQ(Total(S, "8125", 7, 1), "000000007,51");
  // 15,00 EUR gross; net 16,81 USD turns at the line's rate: 12,61 EUR.
  EXPECT_EQ(Total(S, "8400", 7, 1), "000000012,61");
  EXPECT_EQ(Total(S, "1776", 7, 1), "000000002,39");
  EXPECT_STREQ(layouts::FieldBytes(b.data(), bat::kLine.In(2, bl::kGross)), "000000015,00");
  ExpectBalanced();
}

// Cause: the reverse charge of lines of different rates was taxed wholly
// at the rate of the last line.
TEST_F(PostingTest, ReverseChargeIsTaxedPerRate) {
  // 3300 becomes an EG account at 7 %.
  auto goods = Account(S, "3300");
  layouts::SetNumber(goods.data(), layouts::sako::kTaxKey,
                     layouts::GetNumber(goods.data(), layouts::sako::kTaxKey) | 0x80);
  layouts::SetRawText(goods.data(), layouts::sako::kRate, "07,00");
  ASSERT_TRUE(Update(goods.data(), kSlotSako));
  Booking b("120646");
  b.Line("3300", S, "70000", K, "000000100,00", nullptr, 0, 0x80, "")
      .Line("3425", S, "70000", K, "000001000,00", nullptr, 0, 0x80, "")
      .Line("3300", S, "70000", K, "000000200,00", nullptr, 0, 0x80, "");
  ASSERT_TRUE(b.Post());
  std::vector<std::string> taxes;
  for (const auto& r : Journal())
    if (JN(r, bube::kFlags) == 0x10) taxes.push_back(J(r, bube::kDebitAmount));
  // 7 % of 300,00 and 19 % of 1.000,00.
  EXPECT_EQ(taxes, (std::vector<std::string>{"000000021,00", "000000190,00"}));
  // Both rates book to the accounts of the EG record in force (1574/1774).
  EXPECT_EQ(Total(S, "1574", 6, 0), "000000211,00");
  EXPECT_EQ(Total(S, "1774", 6, 1), "000000211,00");
  ExpectBalanced();
}

TEST_F(PostingTest, ClosingPostingGoesToTheClosingTotals) {
  SetPostingMode(PostingMode::kClosing);
  ASSERT_TRUE(Booking("311246").Line("4900", S, "1200", S, "000000050,00").Post());
  auto acc = Account(S, "4900");
  EXPECT_STREQ(layouts::FieldBytes(acc.data(), layouts::sako::kClosingDebit), "000000050,00");
  EXPECT_EQ(Total(S, "4900", 12, 0), "000000000,00");
  EXPECT_EQ(JN(Journal()[0], bube::kFlags), 0x40 | 4);
  ExpectBalanced();
}

TEST_F(PostingTest, PreviousYearBookingIsCarriedForwardAndBack) {
  // December 2025: Meier buys for 119,00 (100,00 revenue, 19,00 tax).
  ASSERT_TRUE(Booking("101245").Line("10000", D, "8400", S, "000000119,00", "000000100,00", 1, 2, "19,00").Post());
  // Its open item lies in the current year, committed with the booking.
  EXPECT_EQ(OpenItems(kSlotOpdebi).size(), 1u);
  // The previous year holds the booking ...
  ASSERT_TRUE(SwitchWorkingYear("2025"));
  EXPECT_EQ(Total(D, "10000", 12, 0), "000000119,00");
  ExpectBalanced();
  ASSERT_TRUE(SwitchWorkingYear("2026"));
  // ... and the current year its opening balances and carry-forward records.
  namespace p = layouts::personal;
  namespace s = layouts::sako;
  auto meier = Account(D, "10000");
  EXPECT_STREQ(layouts::FieldBytes(meier.data(), p::kOpeningDebit), "000000119,00");
  EXPECT_STREQ(layouts::FieldBytes(meier.data(), p::kPrevDebitTurnover), "000000119,00");
  EXPECT_STREQ(layouts::FieldBytes(meier.data(), p::kPrevClosingBalance), "000000119,00");
  auto tax = Account(S, "1776");
  EXPECT_STREQ(layouts::FieldBytes(tax.data(), s::kOpeningCredit), "000000019,00");
  EXPECT_EQ(layouts::GetNumber(tax.data(), s::kPrevClosingSide), 1);
  auto receivables = Account(S, "1400");
  EXPECT_STREQ(layouts::FieldBytes(receivables.data(), s::kOpeningDebit), "000000119,00");
  // Revenue is no balance account: its result goes to the carry-forward account.
  auto revenue = Account(S, "8400");
  EXPECT_STREQ(layouts::FieldBytes(revenue.data(), s::kOpeningCredit), "000000000,00");
  EXPECT_STREQ(layouts::FieldBytes(revenue.data(), s::kPrevCreditTurnover), "000000100,00");
  auto result = Account(S, "0860");
  EXPECT_STREQ(layouts::FieldBytes(result.data(), s::kOpeningCredit), "000000100,00");
  auto j = Journal();
  ASSERT_EQ(j.size(), 3u);  // 1776, 1400 and 0860 carry-forward records
  for (const auto& r : j) {
    EXPECT_EQ(JN(r, bube::kFlags), 2);
    EXPECT_EQ(J(r, bube::kText), "Saldovortragsbuchung");
    EXPECT_EQ(J(r, bube::kPostingDate), "010146");
  }
  EXPECT_EQ(J(j[0], bube::kDebitAccount), "   9000");
  EXPECT_EQ(J(j[0], bube::kCreditAccount), "   1776");
  EXPECT_EQ(J(j[0], bube::kCreditShortCode), "USt19");
  EXPECT_EQ(J(j[0], bube::kDebitShortCode), "SVKto");
  ExpectBalanced();

  // The exact reverse removes the carry-forward records again.
  ASSERT_TRUE(Booking("111245").Line("8400", S, "10000", D, "000000119,00", "000000100,00", 2, 2, "19,00").Post());
  EXPECT_EQ(Journal().size(), 0u);
  meier = Account(D, "10000");
  EXPECT_STREQ(layouts::FieldBytes(meier.data(), p::kOpeningDebit), "000000000,00");
  EXPECT_STREQ(layouts::FieldBytes(meier.data(), p::kPrevClosingBalance), "000000000,00");
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(PostingTest, CarryForwardMovesTheOpeningBalanceToTheOtherSide) {
  ASSERT_TRUE(Booking("101245").Line("1200", S, "1000", S, "000000050,00").Post());
  ASSERT_TRUE(Booking("111245").Line("1000", S, "1200", S, "000000080,00").Post());
  auto bank = Account(S, "1200");
  EXPECT_STREQ(layouts::FieldBytes(bank.data(), layouts::sako::kOpeningDebit), "000000000,00");
  EXPECT_STREQ(layouts::FieldBytes(bank.data(), layouts::sako::kOpeningCredit), "000000030,00");
  EXPECT_EQ(layouts::GetNumber(bank.data(), layouts::sako::kPrevClosingSide), 1);
  EXPECT_STREQ(layouts::FieldBytes(bank.data(), layouts::sako::kPrevClosingBalance), "000000030,00");
}

TEST_F(PostingTest, NotificationsAreSent) {
  static int bookings, firstCalls, secondCalls;
  static unsigned masks;
  bookings = firstCalls = secondCalls = 0;
  masks = 0;
  SetBookingListener([](const void*) { ++bookings; });
  // Every balance listener hears every change once, however often it was added.
  BalanceChangeListener first = [](const char*, unsigned mask) {
    masks |= mask;
    ++firstCalls;
  };
  AddBalanceChangeListener(first);
  AddBalanceChangeListener(first);
  AddBalanceChangeListener([](const char*, unsigned) { ++secondCalls; });
  ASSERT_TRUE(Booking("150346").Line("1200", S, "1000", S, "000000010,00").Post());
  SetBookingListener(nullptr);
  SetBalanceChangeListener(nullptr);
  EXPECT_EQ(bookings, 1);
  EXPECT_EQ(masks, (1u << 3) | (1u << 13));
  EXPECT_GT(firstCalls, 0);
  EXPECT_EQ(secondCalls, firstCalls);
}

}  // namespace
}  // namespace talvera::testing
