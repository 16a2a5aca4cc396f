// Services whose recipient owes the tax (§ 13b UStG) on the SKR 03 template:
// the engine writes output and input tax like for an EG acquisition, the
// storno takes them back, and the VAT return shows base and tax where the
// accounts' Kennzahlen say. Figures worked out by hand.
#include <map>

#include "core/layouts/steke.h"
#include "posting/booking_checks.h"
#include "posting/invariants.h"
#include "posting/storno.h"
#include "posting/tax_proposal.h"
#include "posting_fixture.h"
#include "tax/ustva_computation.h"

namespace talvera::testing {
namespace {

constexpr int S = 2, K = 4, D = 8;
constexpr int kSection13b = 1;

class ReverseChargeTest : public PostingTest {
 protected:
  static long long C(const std::string& amount) {
    long long c = 0;
    AmountToCents(amount.c_str(), &c);
    return c;
  }
  // Debit minus credit of a Sachkonto in June 2026.
  long long Net(const char* account) { return C(Total(S, account, 6, 0)) - C(Total(S, account, 6, 1)); }

  // A purchase of `gross` on a § 13b account, net = gross, at the rate the
  // account proposes (19 % for 3125).
  static Booking Service(const char* debit, int debitKind, const char* credit, int creditKind,
                         const char* gross, int taxSide = 2, const char* rate = "19,00") {
    Booking b("150646", "Montage", "E-13");
    b.Line(debit, debitKind, credit, creditKind, gross, nullptr, taxSide, kSection13b, rate);
    return b;
  }
  long Post(Booking& b) {
    long number = 0;
    EXPECT_TRUE(PostBooking(b.data(), true, &number));
    return number;
  }
  void ExpectBalanced() {
    std::vector<std::string> problems;
    ASSERT_TRUE(CheckTotalsAgainstJournal(problems));
    EXPECT_TRUE(problems.empty()) << problems.front();
  }
  // The return of June 2026.
  UstvaReturn June() {
    UstvaPeriod period;
    EXPECT_EQ(ResolveUstvaPeriod(6, 2026, CurrentMandant().fiscalStartMonth, period), UstvaPeriodRefusal::kNone);
    UstvaReturn out;
    EXPECT_TRUE(ComputeUstva(period, UstvaBooks{}, out));
    return out;
  }
  void ExpectReturn(const std::map<std::string, long long>& expected, long long result) {
    UstvaReturn r = June();
    for (const auto& [term, cents] : expected) EXPECT_EQ(r.Term(term), cents) << term;
    EXPECT_EQ(r.result, result);
  }
};

TEST_F(ReverseChargeTest, ServiceOfAForeignContractorPostsBothTaxesAndItsStornoTakesThemBack) {
  // 1.000,00 net from Kreditor 70000 on 3125 (§ 13b, 19 %, Kennzahl 84):
  // 190,00 output tax on 1787, 190,00 input tax on 1577, the Kreditor 1.000,00.
  Booking service = Service("3125", S, "70000", K, "000001000,00");
  long number = Post(service);
  auto j = Journal();
  ASSERT_EQ(j.size(), 3u);  // the line, its collective record, the reverse charge
  EXPECT_EQ(J(j[2], bube::kDebitAccount), "   1577");
  EXPECT_EQ(J(j[2], bube::kCreditAccount), "   1787");
  EXPECT_EQ(J(j[2], bube::kDebitAmount), "000000190,00");
  EXPECT_EQ(JN(j[2], bube::kFlags), 0x10);
  EXPECT_EQ(J(j[0], bube::kTaxAccount), "") << "the invoice carries no tax";
  EXPECT_EQ(Net("3125"), 100000);
  EXPECT_EQ(Net("1577"), 19000);
  EXPECT_EQ(Net("1787"), -19000);
  EXPECT_EQ(Total(K, "70000", 6, 1), "000001000,00");
  EXPECT_EQ(Net("1574") + Net("1774"), 0) << "no EG tax";
  ExpectBalanced();
  // The return: base 84 = 1.000, its tax 85 = 190,00, input tax 67 = 190,00.
  ExpectReturn({{"84", 100000}, {"85", 19000}, {"67", 19000}, {"ust", 19000}, {"vst", 19000}}, 0);

  EXPECT_EQ(CancelBooking(number, ""), StornoResult::kPosted);
  for (const char* account : {"3125", "1577", "1787", "1574", "1774"}) EXPECT_EQ(Net(account), 0) << account;
  EXPECT_EQ(C(Total(S, "1577", 6, 0)), 0);
  ExpectBalanced();
  ExpectReturn({{"84", 0}, {"85", 0}, {"67", 0}}, 0);
}

TEST_F(ReverseChargeTest, TaxOwedFollowsSideRateAndPartner) {
  struct Case {
    const char* name;
    Booking booking;
    long long input, output;  // net of 1577 and of 1787
  } cases[] = {
      {"paid at once from the bank", Service("3125", S, "1200", S, "000000100,00"), 1900, -1900},
      {"discount of the contractor lowers the tax", Service("70000", K, "3151", S, "000000100,00", 1), -1900, 1900},
      {"a 7 % account", Service("3110", S, "70000", K, "000000100,00", 2, "07,00"), 700, -700},
      {"a rate typed over the account's", Service("3125", S, "70000", K, "000000100,00", 2, "07,00"), 700, -700},
      {"a sale to a Debitor owes nothing", Service("10000", D, "3125", S, "000000100,00", 1), 0, 0},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    long long input = Net("1577"), output = Net("1787");
    long number = Post(c.booking);
    EXPECT_EQ(Net("1577") - input, c.input);
    EXPECT_EQ(Net("1787") - output, c.output);
    // The storno charges the same rate back, whatever the account's.
    EXPECT_EQ(CancelBooking(number, ""), StornoResult::kPosted);
    EXPECT_EQ(Net("1577"), input);
    EXPECT_EQ(Net("1787"), output);
  }
  ExpectBalanced();
}

// One booking with an EG acquisition and a § 13b service at the same rate:
// each class its own charge on its own accounts, and the storno finds them
// again.
TEST_F(ReverseChargeTest, EgAndSection13bChargesStayApart) {
  Booking b("150646", "Material und Montage", "E-14");
  b.Line("3425", S, "70000", K, "000001000,00", nullptr, 2, 0x80, "")
      .Line("3125", S, "70000", K, "000000500,00", nullptr, 2, kSection13b, "19,00");
  long number = Post(b);
  EXPECT_EQ(Net("1574"), 19000);
  EXPECT_EQ(Net("1774"), -19000);
  EXPECT_EQ(Net("1577"), 9500);
  EXPECT_EQ(Net("1787"), -9500);
  // 89 = 1.000 (tax computed), 61 = 190,00; 84 = 500, 85 = 95,00, 67 = 95,00.
  ExpectReturn({{"89", 100000}, {"St89", 19000}, {"61", 19000}, {"84", 50000}, {"85", 9500}, {"67", 9500}}, 0);
  EXPECT_EQ(CancelBooking(number, ""), StornoResult::kPosted);
  for (const char* account : {"1574", "1774", "1577", "1787"}) EXPECT_EQ(Net(account), 0) << account;
  ExpectBalanced();
}

TEST_F(ReverseChargeTest, EuServiceGoesToItsOwnKennzahlen) {
  // 3123: services of EU contractors, Kennzahl 46; the tax goes to 47.
  ASSERT_TRUE(Service("3123", S, "70000", K, "000000500,00").Post());
  ExpectReturn({{"46", 50000}, {"47", 9500}, {"67", 9500}, {"84", 0}, {"85", 0}}, 0);
}

// Books created before § 13b had rate records of their own: the booking is
// refused with the missing record named, and nothing is written.
TEST_F(ReverseChargeTest, BooksWithoutSection13bRecordsRefuseTheBooking) {
  namespace steke = layouts::steke;
  std::vector<char> r(steke::kLayout.recordLength);
  bool found = false;
  while (GetFirstFound(r.data(), found, MakeFileId(kSlotSteke, 0)) && found &&
         layouts::GetNumber(r.data(), steke::kRateClass) == kSection13b)
    ASSERT_TRUE(Delete(kSlotSteke));
  CloseSlot(kSlotSteke);
  std::vector<RateRecord> left;
  ASSERT_TRUE(ListRateRecords(kSection13b, left));
  ASSERT_TRUE(left.empty());

  // The entry checks: the proposal keeps the class, the check names the record.
  BookingDraft d;
  d.documentDate = "15.06.26";
  d.documentNumber = "E-15";
  d.debit = "3125";
  d.credit = "70000";
  d.gross = "1000,00";
  AccountRef debit, credit;
  ASSERT_TRUE(ProposeDraftTax(d, debit, credit));
  EXPECT_EQ(d.proposal.taxClass, kSection13b);
  std::vector<char> record(bat::kLayout.recordLength);
  CheckResult check = CheckBooking(d, {}, record.data());
  EXPECT_FALSE(check);
  EXPECT_EQ(check.message, 794);
  EXPECT_EQ(check.control, buclau::kRate);
  EXPECT_EQ(check.argument, "15.06.2026");

  // The engine, for paths without the checks.
  messages_.Clear();
  EXPECT_FALSE(Service("3125", S, "70000", K, "000001000,00").Post());
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{794});
  EXPECT_TRUE(Journal().empty());
  EXPECT_EQ(Net("3125"), 0);
  EXPECT_EQ(Total(K, "70000", 6, 1), "000000000,00");
}

}  // namespace
}  // namespace talvera::testing
