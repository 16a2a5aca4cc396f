// The form tables, the choice of form by year, the period of a return, the
// rounding of the result and the posting lock.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/mandant_values.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "support/temp_dir.h"
#include "tax/ustva_computation.h"
#include "tax/ustva_form.h"
#include "tax/ustva_form_sheet.h"
#include "tax/ustva_lock.h"
#include "tax/ustva_period.h"

using namespace talvera;

namespace {

TEST(UstvaFormTest, EveryEmbeddedTableReads) {
  ASSERT_FALSE(UstvaFormSources().empty());
  for (const UstvaFormSource& s : UstvaFormSources()) {
    UstvaForm form;
    std::string error;
    EXPECT_TRUE(ParseUstvaForm(s.text, s.name, form, error)) << s.name << ": " << error;
  }
  EXPECT_EQ(UstvaForms().size(), UstvaFormSources().size());
}

TEST(UstvaFormTest, MalformedTablesAreRefusedNamingTheLine) {
  const std::string head =
      "vordruck | X\nab | 2000\nvorlage | A | B | 92\nkz | 81 | umsatz | H | R | | x |\n";
  struct Case {
    const char* name;
    std::string text;
    const char* error;
  } cases[] = {
      {"unknown kind", head + "kz | 66 | steuerchen | S | | | |\nsumme | e | 81\nergebnis | e | cent\n",
       "Zeile 5"},
      {"rate on a tax line", head + "kz | 66 | vorsteuer | S | R | | |\nsumme | e | 81\nergebnis | e | cent\n",
       "Zeile 5"},
      {"unknown term", head + "summe | e | 81 + St66\nergebnis | e | cent\n", "St66"},
      {"sum used before it is made", head + "summe | e | f\nsumme | f | 81\nergebnis | e | cent\n", "'f'"},
      {"missing partner", head + "kz | 35 | bemessung | H | | 36 | x |\nsumme | e | 81\nergebnis | e | cent\n",
       "Partner 36"},
      {"no result", head + "summe | e | 81\n", "ergebnis"},
  };
  for (const Case& c : cases) {
    UstvaForm form;
    std::string error;
    EXPECT_FALSE(ParseUstvaForm(c.text, "test", form, error)) << c.name;
    EXPECT_NE(error.find(c.error), std::string::npos) << c.name << ": " << error;
  }
}

TEST(UstvaFormTest, FormOfAPeriodIsTheNewestNotAfterIt) {
  struct Case {
    const char* country;
    int year;
    int firstYear;
  } cases[] = {{"DE", 1993, 1980}, {"DE", 1997, 1980}, {"DE", 1998, 1998},
               {"DE", 2026, 1998}, {"AT", 1996, 1980}, {"AT", 2026, 1980}};
  for (const Case& c : cases) {
    const UstvaForm* form = UstvaFormFor(c.country, c.year);
    ASSERT_NE(form, nullptr) << c.country << c.year;
    EXPECT_EQ(form->firstYear, c.firstYear) << c.country << c.year;
    EXPECT_EQ(form->country, c.country);
  }
}

TEST(UstvaFormTest, AccountKeysCountOnTheLinesOfTheYearsForm) {
  const UstvaForm* old = UstvaFormFor("DE", 1996);
  const UstvaForm* today = UstvaFormFor("DE", 2026);
  ASSERT_TRUE(old && today);
  struct Case {
    const UstvaForm* form;
    int year, key, kz;  // kz 0: not on the form
  } cases[] = {
      {old, 1996, 81, 50},     // today's full-rate key under the old form
      {old, 1996, 89, 92},
      {old, 1996, 50, 50},
      {old, 1996, 46, 0},      // § 13b lines came later
      {today, 2026, 81, 81},
      {today, 2022, 87, 0},    // 0 % photovoltaic line since 2023
      {today, 2023, 87, 87},
      {today, 2009, 46, 0},
      {today, 2010, 46, 46},
      {today, 2026, 70, 0},    // a mark, no account fills it
      {today, 2026, 92, 0},
      {today, 2026, 33, 0},
  };
  for (const Case& c : cases) {
    const UstvaLine* line = c.form->LineForAccountKey(c.key, c.year);
    EXPECT_EQ(line ? line->kz : 0, c.kz) << c.form->firstYear << " " << c.year << " key " << c.key;
  }
}

TEST(UstvaFormTest, OldChartKeysBecomeTodaysKennzahlen) {
  struct Case {
    int key, taxKey, kz;
  } cases[] = {
      {50, 2, 81},   // full-rate turnover account of an old chart
      {50, 0, 50},   // today's § 17 reduction
      {50, 34, 50},  // an input-tax account is no turnover account
      {92, 128 + 32, 89},
      {85, 0, 85},
      {86, 4, 86},
  };
  for (const Case& c : cases) EXPECT_EQ(TodaysKennzahl(c.key, c.taxKey), c.kz) << c.key << "/" << c.taxKey;
}

TEST(UstvaFormTest, ResultRounding) {
  struct Case {
    long long cents;
    UstvaRounding rounding;
    long long rounded;
  } cases[] = {
      {-1234, UstvaRounding::kTenth, -1240},  // a refund rounds up in magnitude
      {1235, UstvaRounding::kTenth, 1230},    // a payable amount is cut
      {-1230, UstvaRounding::kTenth, -1230},
      {-5, UstvaRounding::kTenth, -10},
      {1234, UstvaRounding::kCent, 1234},
      {-1234, UstvaRounding::kCent, -1234},
      {14945, UstvaRounding::kSchilling, 14900},
      {14951, UstvaRounding::kSchilling, 15000},
      {-1234, UstvaRounding::kSchilling, -1200},  // by magnitude, not toward plus
      {-1260, UstvaRounding::kSchilling, -1300},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RoundUstvaResult(c.cents, c.rounding), c.rounded) << c.cents;
}

TEST(UstvaFormTest, TaxOfABaseKeepsItsSign) {
  EXPECT_EQ(TaxOfBase(123400, "15,00"), 18510);
  EXPECT_EQ(TaxOfBase(-123400, "15,00"), -18510);
  EXPECT_EQ(TaxOfBase(100, "1,50"), 2);  // 1,5 cents half up
  EXPECT_EQ(TaxOfBase(500000, "00,00"), 0);
}

class UstvaPeriodTest : public ::testing::Test {
 protected:
  void SetUp() override { CurrentMandant() = MandantValues{}; }
  void TearDown() override { CurrentMandant() = MandantValues{}; }
};

TEST_F(UstvaPeriodTest, CalendarChoicesBecomeFiscalPeriods) {
  struct Case {
    int choice, year, startMonth;
    UstvaPeriodRefusal refusal;
    int selector, fiscalYear, endYear;
    const char* lock;
  } cases[] = {
      {3, 2026, 1, UstvaPeriodRefusal::kNone, 3, 2026, 2026, "010446"},
      {12, 2026, 1, UstvaPeriodRefusal::kNone, 12, 2026, 2026, "010147"},
      {13, 2026, 1, UstvaPeriodRefusal::kNone, 13, 2026, 2026, "010446"},
      {16, 2026, 1, UstvaPeriodRefusal::kNone, 16, 2026, 2026, "010147"},
      {17, 2020, 1, UstvaPeriodRefusal::kNone, 17, 2020, 2020, "010141"},
      // Fiscal year from July: January 1997 is period 7 of 1996/97.
      {1, 1997, 7, UstvaPeriodRefusal::kNone, 7, 1996, 1997, "010816"},
      {7, 1997, 7, UstvaPeriodRefusal::kNone, 1, 1997, 1997, "010217"},
      // Calendar quarter 1 is the third fiscal quarter of 1996/97.
      {13, 1997, 7, UstvaPeriodRefusal::kNone, 15, 1996, 1997, "011016"},
      {15, 1997, 7, UstvaPeriodRefusal::kNone, 13, 1997, 1997, "010417"},
      {13, 1997, 2, UstvaPeriodRefusal::kQuarterAcrossYears, 0, 0, 0, ""},
      {17, 1997, 7, UstvaPeriodRefusal::kYearNotCalendar, 0, 0, 0, ""},
  };
  for (const Case& c : cases) {
    CurrentMandant().fiscalStartMonth = c.startMonth;
    UstvaPeriod p;
    std::string name = std::to_string(c.choice) + "/" + std::to_string(c.year) + " S" +
                       std::to_string(c.startMonth);
    ASSERT_EQ(ResolveUstvaPeriod(c.choice, c.year, c.startMonth, p), c.refusal) << name;
    if (c.refusal != UstvaPeriodRefusal::kNone) {
      EXPECT_STRNE(UstvaRefusalText(c.refusal), "");
      continue;
    }
    EXPECT_EQ(p.selector, c.selector) << name;
    EXPECT_EQ(p.fiscalYear, c.fiscalYear) << name;
    EXPECT_EQ(p.endYear, c.endYear) << name;
    char lock[7];
    UstvaLockDate(p, lock);
    EXPECT_STREQ(lock, c.lock) << name;
  }
}

TEST(UstvaFormSheetTest, TaxNumberCodeLine) {
  CompanyMaster master;
  master.taxNumber = "123/456/78901";
  struct Case {
    int state, choice, year;
    const char* line;
  } cases[] = {
      {0, 3, 2026, ""},  // no Bundesland: no code line
      {3, 3, 2026, "    11 123 456 78901   57   2603"},
      {3, 14, 2026, "    11 123 456 78901   57   2642"},
      {3, 17, 2026, "    11 123 456 78901   57   2619"},
      {10, 3, 2026, "       123 456 78901 215711 2603"},
  };
  for (const Case& c : cases) {
    master.federalState = c.state;
    UstvaPeriod p;
    ASSERT_EQ(ResolveUstvaPeriod(c.choice, c.year, 1, p), UstvaPeriodRefusal::kNone);
    EXPECT_EQ(UstvaTaxNumberCodeLine(master, p), c.line) << c.state << "/" << c.choice;
  }
}

class PostingLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMandantNumber(2);
    CurrentMandant() = MandantValues{};
    CurrentMandant().number = 2;
    CurrentMandantSettings() = MandantSettings{};
  }
  void TearDown() override {
    CurrentMandant() = MandantValues{};
    CurrentMandantSettings() = MandantSettings{};
    SetMandantNumber(1);
  }
  talvera::testing::TempSettingsDir settings_;
};

TEST_F(PostingLockTest, MovesForwardOnlyAndIsStoredPerMandant) {
  struct Step {
    const char* lock;
    bool moves;
    const char* stored;
  } steps[] = {
      {"010446", true, "010446"},   // March 2026 printed
      {"010446", false, "010446"},  // the same month again
      {"010346", false, "010446"},  // an earlier month keeps the later lock
      {"010147", true, "010147"},   // December
  };
  for (const Step& s : steps) {
    EXPECT_EQ(PostingLockWouldMove(s.lock), s.moves) << s.lock;
    EXPECT_EQ(AdvancePostingLock(s.lock), s.moves) << s.lock;
    EXPECT_EQ(CurrentMandantSettings().buchungssperre, s.stored);
    EXPECT_EQ(ReadSetting("Buchungssperre1"), s.stored);
  }
  EXPECT_EQ(ReadSetting("Buchungssperre"), "");
}

}  // namespace
