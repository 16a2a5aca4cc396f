// Returns worked out by hand: the old form's own cases, a March 2026 month
// on today's form and December 2020 at 16 % / 5 % computed in 2021.
#include <gtest/gtest.h>

#include <map>

#include "support/small_mandant.h"
#include "tax/ustva_fixture.h"

namespace talvera::testing {
namespace {

void ExpectAmounts(const UstvaReturn& r, const std::map<std::string, long long>& expected) {
  for (const auto& [term, cents] : expected) EXPECT_EQ(r.Term(term), cents) << term;
}

// ---- The form up to 1997 ------------------------------------------------------------------

class OldFormTest : public UstvaTest {
 protected:
  void SetUp() override { OpenMandant("15.06.1996", "1996"); }
};

TEST_F(OldFormTest, BasesWithCentsEnterAsWholeUnitsAtTheRateOfThePeriod) {
  // 8400 carries key 50 of the template, 8300 key 86: 15 % and 7 % in 1996.
  Credit("8400", 5, "000001234,56");
  Credit("8300", 5, "000000100,99");
  Debit("1576", 5, "000000050,00");  // input tax, key 66 (credit minus debit)
  UstvaReturn r = Compute(5, 1996);
  ASSERT_NE(r.form, nullptr);
  EXPECT_EQ(r.form->firstYear, 1980);
  // T50 = 15 % of 1.234,00 = 185,10; T86 = 7 % of 100,00 = 7,00;
  // result = 185,10 + 7,00 - 50,00 = 142,10.
  ExpectAmounts(r, {{"50", 123400}, {"St50", 18510}, {"86", 10000}, {"St86", 700},
                    {"66", -5000}, {"umsatz", 133400}, {"ust", 19210}, {"zs1", 14210}});
  EXPECT_EQ(r.result, 14210);
}

TEST_F(OldFormTest, AcquisitionsCountWithTheirSignTurned) {
  Debit("3425", 2, "000002000,00");  // key 92: acquisition at the full rate, an expense
  UstvaReturn r = Compute(2, 1996);
  // [92] = 2.000,00 (sign turned), T92 = 300,00, input tax 61 = -300,00; they cancel.
  ExpectAmounts(r, {{"92", 200000}, {"St92", 30000}, {"vst61", -30000}, {"ust", 30000},
                    {"erwerbe", 200000}});
  EXPECT_EQ(r.result, 0);
}

TEST_F(OldFormTest, ResultIsRoundedToTenPfennig) {
  struct Case {
    const char* account;
    bool debit;
    const char* amount;
    long long unrounded, rounded;
  } cases[] = {
      {"1576", true, "000000012,34", -1234, -1240},  // 66: a refund of 12,34 becomes 12,40
      {"1770", false, "000000012,35", 1235, 1230},   // 36: 12,35 payable becomes 12,30
  };
  int month = 1;
  for (const Case& c : cases) {
    if (c.debit) Debit(c.account, month, c.amount);
    else Credit(c.account, month, c.amount);
    UstvaReturn r = Compute(month, 1996);
    EXPECT_EQ(r.unroundedResult, c.unrounded) << c.account;
    EXPECT_EQ(r.result, c.rounded) << c.account;
    ++month;
  }
}

TEST_F(OldFormTest, CashBasisTakesTurnoverFromThePostings) {
  CurrentMandant().cashBasis = true;
  std::strcpy(CurrentMandant().cashBasisAccount, "   1760");
  Credit("8400", 4, "000001000,00");  // key 50: its movement does not count
  Credit("1770", 4, "000000016,00");  // key 36: only its journal correction counts
  // A cash sale at 15 %: gross 115,00, net 100,00, tax account 1775.
  Journal("1604010001", "1000", "8400", "1775", 0, 2, "000000115,00", "000000100,00");
  // An invoice under cash basis: tax to the interim account, not due yet.
  Journal("1604020001", "1400", "8400", "1760", 0, 2, "000000230,00", "000000200,00");
  // A purchase: input tax is not turnover.
  Journal("1604030001", "3400", "1600", "1575", 0, 2 + 32, "000000115,00", "000000100,00");
  // A sale at another rate (class 16): base to 35, its tax to 36.
  Journal("1604040001", "1000", "8400", "1770", 0, 16, "000000116,00", "000000100,00");
  // A reclassification of the tax account 1770 (key 36).
  Journal("1604300001", "1770", "1780", "", kReclassification, 0, "000000040,00", "000000040,00");
  UstvaReturn r = Compute(4, 1996);
  EXPECT_TRUE(r.cashBasis);
  // 50 = 100,00 (T50 15,00); 35 = 100,00; 36 = 16,00 from the posting + 40,00 correction.
  ExpectAmounts(r, {{"50", 10000}, {"St50", 1500}, {"35", 10000}, {"36", 5600}});
  EXPECT_EQ(r.result, 1500 + 5600);
}

// ---- Today's form: March 2026 on SKR 03 ----------------------------------------------------

class March2026Test : public UstvaTest {
 protected:
  void SetUp() override {
    OpenMandant("09.12.2026", "2026", "2025");
    BookMarch2026();
  }
};

TEST_F(March2026Test, EveryKennzahlAndTheResult) {
  UstvaReturn r = Compute(3, 2026);
  ASSERT_NE(r.form, nullptr);
  EXPECT_EQ(r.form->firstYear, 1998);
  // Umsatzsteuer: 1.805,00 + 140,00 + 190,00 + 95,00 = 2.230,00.
  // Vorsteuer: 795,37 + 190,00 + 380,00 + 95,00 = 1.460,37.
  // Result, to the cent: 2.230,00 - 1.460,37 = 769,63.
  ExpectAmounts(r, {{"81", 950000}, {"St81", 180500}, {"86", 200000}, {"St86", 14000},
                    {"87", 500000}, {"41", 300000}, {"89", 100000}, {"St89", 19000},
                    {"61", 19000}, {"46", 50000}, {"47", 9500}, {"67", 9500}, {"62", 38000},
                    {"66", 79537}, {"35", 0}, {"36", 0}, {"ust", 223000}, {"vst", 146037},
                    {"verbl", 76963}, {"zs", 76963}, {"erg", 76963}});
  EXPECT_EQ(r.result, 76963);
  ASSERT_EQ(r.skipped.size(), 1u);
  EXPECT_EQ(r.skipped[0].account, "   8500");
  EXPECT_EQ(r.skipped[0].key, 33);
}

TEST_F(March2026Test, ReverseChargeRecordIsNoReclassification) {
  // Cause: the engine writes the acquisition's tax as a flag-0x10 record from
  // the EG input-tax to the EG output-tax account, which the correction for
  // reclassifications took back out of 61 again.
  Debit("3425", 3, "000000500,00");
  Debit("1574", 3, "000000095,00");
  Credit("1774", 3, "000000095,00");
  Journal("4603100001", "1574", "1774", "", kReclassification, 0, "000000095,00", "000000095,00");
  UstvaReturn r = Compute(3, 2026);
  ExpectAmounts(r, {{"89", 150000}, {"St89", 28500}, {"61", 28500}, {"66", 79537}});
}

// The journal is read account by account, not month by month: every kind of
// reclassification record must still be found exactly once.
TEST_F(March2026Test, ReclassificationsOfTaxAccountsCountFromEitherSideOnce) {
  struct Case {
    const char* what;
    const char* key;
    const char* debit;
    const char* credit;
    unsigned flags;
    const char* amount;
  } cases[] = {
      {"tax account on the debit side only", "4603100001", "1576", "1780", kReclassification, "000000030,00"},
      {"between two tax Kennzahlen (62 and 66)", "4603110001", "1588", "1576", kReclassification, "000000050,00"},
      {"a reclassification of April", "4604010001", "1576", "1780", kReclassification, "000000070,00"},
  };
  for (const Case& c : cases) {
    Journal(c.key, c.debit, c.credit, "", c.flags, 0, c.amount, c.amount);
    int period = (c.key[2] - '0') * 10 + (c.key[3] - '0');
    Debit(c.debit, period, c.amount);
    Credit(c.credit, period, c.amount);
  }
  // An ordinary posting on a tax account is no reclassification: it counts.
  Journal("4603120001", "1576", "1200", "", 0, 0, "000000040,00", "000000040,00");
  Debit("1576", 3, "000000040,00");
  UstvaReturn r = Compute(3, 2026);
  // Reclassifications leave 62 and 66 as booked by invoices; the posting of
  // 40,00 adds to 66: 795,37 + 40,00.
  ExpectAmounts(r, {{"62", 38000}, {"66", 83537}});
}

// A reverse charge takes the bases of its own booking, found in key order
// before it: back to the booking's first record or an earlier charge, never
// into the month before. Bookings of the same day may lack their first mark.
TEST_F(March2026Test, ReverseChargeTakesTheBasesOfItsOwnBooking) {
  const unsigned kFirst = 0x40;
  // February: a § 13b service (46) without a charge of its own.
  Journal("4602280001", "3123", "70000", "", kFirst, 0, "000000100,00", "000000100,00");
  Debit("3123", 2, "000000100,00");
  // 1 March, unmarked: a building service (84) and its charge 19,00.
  Journal("4603010001", "3125", "70000", "", 0, 0, "000000100,00", "000000100,00");
  Journal("4603010002", "1577", "1787", "", kReclassification, 0, "000000019,00", "000000019,00");
  // 2 March, unmarked: an EU service (46) and its charge 19,00.
  Journal("4603020001", "3123", "70000", "", 0, 0, "000000100,00", "000000100,00");
  Journal("4603020002", "1577", "1787", "", kReclassification, 0, "000000019,00", "000000019,00");
  // 3 March, marked: an EU service without a charge, then a building service
  // (84) and its charge 19,00.
  Journal("4603030001", "3123", "70000", "", kFirst, 0, "000000100,00", "000000100,00");
  Journal("4603030002", "3125", "70000", "", kFirst, 0, "000000100,00", "000000100,00");
  Journal("4603030003", "1577", "1787", "", kReclassification, 0, "000000019,00", "000000019,00");
  Debit("3125", 3, "000000200,00");
  Debit("3123", 3, "000000200,00");
  Debit("1577", 3, "000000057,00");
  Credit("1787", 3, "000000057,00");
  UstvaReturn r = Compute(3, 2026);
  // The first and third charge go with 84 to 85 and out of 47 (1787's
  // Kennzahl); the second stays in 47 with its base 46:
  // 47 = 95,00 + 57,00 - 2 * 19,00.
  ExpectAmounts(r, {{"84", 20000}, {"85", 3800}, {"46", 70000}, {"47", 11400}, {"67", 15200}});
}

TEST_F(March2026Test, CashBasisKeepsZeroRateSales) {
  // Without a tax account a 0 % sale never shows as due in the journal, so
  // its account counts; 19 % and 7 % sales wait for their payments.
  CurrentMandant().cashBasis = true;
  UstvaReturn r = Compute(3, 2026);
  ExpectAmounts(r, {{"87", 500000}, {"81", 0}, {"86", 0}, {"41", 300000}});
}

TEST_F(March2026Test, QuarterAddsItsThreeMonths) {
  Credit("8400", 1, "000000100,00");
  Credit("8400", 4, "000009999,00");  // April is not in the first quarter
  UstvaReturn r = Compute(13, 2026);
  ExpectAmounts(r, {{"81", 960000}, {"St81", 182400}});
}

// ---- December 2020 at 16 % / 5 %, computed in 2021 -----------------------------------------

class Year2020Test : public UstvaTest {
 protected:
  void SetUp() override {
    OpenMandant("15.01.2021", "2021", "2020");
    ASSERT_TRUE(SwitchWorkingYear("2020"));
    Credit("8400", 3, "000000100,00");   // March 2020 at 19 %
    Credit("8400", 12, "000001000,00");  // December 2020 at 16 %
    Credit("8300", 12, "000000200,00");  // December 2020 at 5 %
  }
};

TEST_F(Year2020Test, RatesOfThePeriodNotOfToday) {
  ASSERT_EQ(CurrentRatesInForce().standard, std::string("19,00"));  // today's
  struct Case {
    int choice;
    std::map<std::string, long long> amounts;
    long long result;
  } cases[] = {
      // December: the form prints 19 % and 7 %, so 16 % and 5 % go to 35/36:
      // 35 = 1.200,00, 36 = 160,00 + 10,00.
      {12, {{"81", 0}, {"86", 0}, {"35", 120000}, {"36", 17000}}, 17000},
      // The year: March at 19 % (19,00) stays in 81, July to December as above.
      {17, {{"81", 10000}, {"St81", 1900}, {"35", 120000}, {"36", 17000}}, 18900},
  };
  for (const Case& c : cases) {
    UstvaReturn r = Compute(c.choice, 2020);
    ExpectAmounts(r, c.amounts);
    EXPECT_EQ(r.result, c.result) << c.choice;
  }
  EXPECT_EQ(CurrentRatesInForce().standard, std::string("19,00"));  // unchanged by the return
}

// ---- The Austrian form ---------------------------------------------------------------------

TEST_F(OldFormTest, AustrianResultIsRoundedToWholeSchilling) {
  Key("8400", 50);                    // the Austrian form's key, not today's German one
  Credit("8400", 6, "000001000,00");  // key 50: 20 %
  Debit("1576", 6, "000000050,55");   // key 66
  UstvaReturn r = Compute(6, 1996, "AT");
  ASSERT_NE(r.form, nullptr);
  EXPECT_EQ(r.form->country, "AT");
  // Tax 200,00 - input tax 50,55 = 149,45; + 0,49 = 149,94, cents dropped.
  ExpectAmounts(r, {{"50", 100000}, {"St50", 20000}, {"steuer", 20000}, {"vst", -5055}});
  EXPECT_EQ(r.unroundedResult, 14945);
  EXPECT_EQ(r.result, 14900);
}

}  // namespace
}  // namespace talvera::testing
