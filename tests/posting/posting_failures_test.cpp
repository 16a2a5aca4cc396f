// Every refused booking leaves nothing behind: no journal record, no total,
// no cost-centre amount.
#include "posting_fixture.h"

#include "posting/invariants.h"

namespace talvera::testing {
namespace {

constexpr int S = 2, K = 4, D = 8;

class PostingFailureTest : public PostingTest {
 protected:
  // Nothing of any booking is in the books: journal, totals, cost centres.
  void ExpectUntouched() {
    EXPECT_EQ(Journal().size(), 0u);
    for (auto [kind, account] : {std::pair{D, "10000"}, {S, "8400"}, {S, "1776"}, {S, "1400"}, {S, "4210"},
                                 {S, "1200"}, {K, "70000"}})
      for (int side : {0, 1}) EXPECT_EQ(Total(kind, account, 3, side), "000000000,00") << account;
    namespace k = layouts::kore;
    std::vector<char> r(k::kLayout.recordLength);
    bool found = false;
    ASSERT_TRUE(GetEqual(r.data(), KeyValue("    100", 8), found, kSlotKore));
    EXPECT_STREQ(layouts::FieldBytes(r.data(), k::kPeriodAmount.At(2)), "000000000,00");
    EXPECT_EQ(OpenItems(kSlotOpdebi).size(), 0u);
  }
};

struct Refusal {
  const char* name;
  int message;
  void (*build)(Booking&);
};

TEST_F(PostingFailureTest, RefusedBookingsLeaveNothing) {
  const Refusal cases[] = {
      {"collective_account_direct", 770,
       [](Booking& b) { b.Line("1400", S, "8400", S, "000000119,00"); }},
      {"tax_without_tax_account", 705,
       [](Booking& b) { b.Line("10000", D, "8120", S, "000000119,00", "000000100,00", 1, 8, "00,00"); }},
      {"fixed_rate_changed", 737,
       [](Booking& b) { b.Line("10000", D, "8400", S, "000000107,00", "000000100,00", 1, 4, "07,00"); }},
      {"cost_centres_between_two_pl_accounts", 752,
       [](Booking& b) { b.Line("4210", S, "8120", S, "000000010,00").CostCentres("    100", ""); }},
      {"missing_account", 799, [](Booking& b) { b.Line("10000", D, "8999", S, "000000010,00"); }},
      {"missing_cost_centre", 799,
       [](Booking& b) { b.Line("4210", S, "1200", S, "000000010,00").CostCentres("    100", "    999"); }},
      // A failure on the third line takes back the two lines before it.
      {"third_line", 799,
       [](Booking& b) {
         b.Line("10000", D, "8400", S, "000000119,00", "000000100,00", 1, 2, "19,00")
             .Line("4210", S, "1200", S, "000000010,00")
             .CostCentres("    100", "")
             .Line("10000", D, "8888", S, "000000010,00");
       }},
  };
  for (const Refusal& c : cases) {
    SCOPED_TRACE(c.name);
    messages_.Clear();
    Booking b("150346");
    c.build(b);
    EXPECT_FALSE(b.Post());
    ASSERT_FALSE(messages_.shown.empty());
    EXPECT_EQ(messages_.shown.back().number, c.message);
    ExpectUntouched();
  }
}

TEST_F(PostingFailureTest, BatchPostingWordsTheMissingTaxDifferently) {
  SetPostingFromBatch(true);
  EXPECT_FALSE(Booking("150346").Line("10000", D, "8120", S, "000000119,00", "000000100,00", 1, 8, "00,00").Post());
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{704});
}

TEST_F(PostingFailureTest, DateOutsideTheOpenYears) {
  EXPECT_FALSE(Booking("150344").Line("1200", S, "1000", S, "000000010,00").Post());
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{83});
  ExpectUntouched();
}

TEST_F(PostingFailureTest, ADayHoldsTenThousandJournalRecords) {
  // The day already holds its record 9999: the next key wraps to 0000,
  // which is taken, and the unique key refuses the booking.
  std::vector<char> r(bube::kLayout.recordLength);
  for (const char* key : {"4603150000", "4603159999"}) {
    layouts::InitRecord(bube::kLayout, r.data());
    layouts::SetRawText(r.data(), bube::kPostingKey, key);
    layouts::SetRawText(r.data(), bube::kPostingDate, "150346");
    ASSERT_TRUE(Insert(r.data(), kSlotBube));
  }
  EXPECT_FALSE(Booking("150346").Line("1200", S, "1000", S, "000000010,00").Post());
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{3105});
  EXPECT_EQ(Journal().size(), 2u);
  EXPECT_EQ(Total(S, "1200", 3, 0), "000000000,00");
}

// Cause: TRANSAUS=JA in WIN.INI made the engine post without a
// transaction, so a failure half-way left the lines before it.
TEST_F(PostingFailureTest, TransausDoesNotSwitchAtomicityOff) {
  CurrentSettings().transAus = true;
  Booking b("150346");
  b.Line("4210", S, "1200", S, "000000010,00").Line("10000", D, "8888", S, "000000010,00");
  EXPECT_FALSE(b.Post());
  EXPECT_EQ(Journal().size(), 0u);
  EXPECT_EQ(Total(S, "4210", 3, 0), "000000000,00");
}

// Cause: a line with kind 0 and an unknown account failed without a word;
// a missing net-side Sachkonto beside a Kreditor was reported by the
// Kreditor's number.
TEST_F(PostingFailureTest, RefusalsNameTheMissingAccount) {
  const struct {
    const char* name;
    void (*build)(Booking&);
    const char* missing;
  } cases[] = {
      {"kind_left_open", [](Booking& b) { b.Line("4210", S, "4711", 0, "000000010,00"); }, "4711"},
      {"kind_left_open_on_debit", [](Booking& b) { b.Line("4712", 0, "1200", S, "000000010,00"); }, "4712"},
      {"net_side_kreditor",
       [](Booking& b) { b.Line("3498", S, "70000", K, "000000119,00", "000000100,00", 1, 2, "19,00"); },
       "3498"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    messages_.Clear();
    Booking b("150346");
    c.build(b);
    EXPECT_FALSE(b.Post());
    ASSERT_EQ(messages_.Numbers(), std::vector<int>{799});
    EXPECT_NE(messages_.shown[0].text.find(std::string(" ") + c.missing + " "), std::string::npos)
        << messages_.shown[0].text;
    ExpectUntouched();
  }
  // A kind left open is looked up: the Debitor gets its collective record.
  ASSERT_TRUE(Booking("150346").Line("10000", 0, "8120", 0, "000000010,00").Post());
  EXPECT_EQ(Journal().size(), 2u);
  EXPECT_EQ(Total(S, "1400", 3, 0), "000000010,00");
}

// Cause: a rate text that is no rate made the reverse charge fail silently.
TEST_F(PostingFailureTest, MalformedRateIsRefusedWithAMessage) {
  auto eg = Account(S, "3425");
  layouts::SetRawText(eg.data(), layouts::sako::kRate, "1x,00");
  ASSERT_TRUE(Update(eg.data(), kSlotSako));
  EXPECT_FALSE(Booking("150346").Line("3425", S, "70000", K, "000001000,00", nullptr, 0, 0x80, "").Post());
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{15});
  ExpectUntouched();
}

TEST_F(PostingFailureTest, OpenItemFailureKeepsTheBooking) {
  CurrentMandantSettings().ab[5] = "";  // no deduction account for the standard rate
  CurrentMandantSettings().ab[2] = "";  // nor for vendors at it
  // Asked beforehand, the engine names exactly the accounts the open items would use.
  const struct {
    const char* name;
    void (*build)(Booking&);
    unsigned missing;
  } cases[] = {
      {"customer at the standard rate",
       [](Booking& b) { b.Line("10000", D, "8400", S, "000000119,00", "000000100,00", 1, 2, "19,00"); }, 1u << 5},
      {"customer at the reduced rate",
       [](Booking& b) { b.Line("10000", D, "8300", S, "000000107,00", "000000100,00", 1, 4, "07,00"); }, 0},
      {"vendor at the standard rate",
       [](Booking& b) { b.Line("3400", S, "70000", K, "000000119,00", "000000100,00", 2, 2, "19,00"); }, 1u << 2},
      {"no personal account", [](Booking& b) { b.Line("1200", S, "8400", S, "000000119,00"); }, 0},
      {"open items turned off",
       [](Booking& b) {
         b.Line("10000", D, "8400", S, "000000119,00", "000000100,00", 1, 2, "19,00");
         layouts::SetNumber(b.data(), bat::kNoOpenItem, 1);
       },
       0},
  };
  for (const auto& c : cases) {
    Booking b("150346");
    c.build(b);
    EXPECT_EQ(MissingDeductionAccounts(b.data()), c.missing) << c.name;
  }
  EXPECT_TRUE(messages_.Numbers().empty());
  EXPECT_EQ(Journal().size(), 0u);

  ASSERT_TRUE(Booking("150346").Line("10000", D, "8400", S, "000000119,00", "000000100,00", 1, 2, "19,00").Post());
  EXPECT_EQ(messages_.Numbers(), (std::vector<int>{768, 150}));
  EXPECT_EQ(Journal().size(), 2u);
  EXPECT_EQ(OpenItems(kSlotOpdebi).size(), 0u);
}

TEST_F(PostingFailureTest, RatesInForceComeBackAfterEveryCall) {
  RatesInForceValue before = CurrentRatesInForce();
  ASSERT_TRUE(Booking("150745").Line("1200", S, "1000", S, "000000010,00").Post());  // 2025
  EXPECT_FALSE(Booking("150346").Line("1400", S, "1000", S, "000000010,00").Post());
  EXPECT_STREQ(CurrentRatesInForce().standard, before.standard);
  EXPECT_STREQ(CurrentRatesInForce().reduced, before.reduced);
}

}  // namespace
}  // namespace talvera::testing
