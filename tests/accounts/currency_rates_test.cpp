#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "accounts/currency_admin.h"
#include "accounts/currency_rates.h"
#include "accounts_fixture.h"
#include "support/fake_dialog.h"

using namespace talvera;
using talvera::testing::AccountsTest;
using talvera::testing::FakeDialog;

namespace {

RateEntry Rate(const char* currency, const std::string& date, const char* rate, bool average,
               int units = 1) {
  RateEntry e;
  std::strcpy(e.currency, currency);
  std::strcpy(e.date, date.c_str());
  std::strcpy(e.rate, rate);
  e.average = average;
  e.units = units;
  return e;
}

class RateTest : public AccountsTest {
 protected:
  // Types a rate into the controls of the currency administration.
  bool Add(const char* currency, const char* date, const char* rate, bool average,
           const char* units = "1") {
    FakeDialog d;
    d.text[kursverw::kCurrency] = currency;
    d.text[kursverw::kDate] = date;
    d.text[kursverw::kRate] = rate;
    d.text[kursverw::kUnits] = units;
    RateEntry added;
    return AddRate(d, average, added);
  }
};

TEST_F(RateTest, DailyRateOfTheDayElseAverageRateOfTheMonth) {
  RateTable t;
  t.Add(Rate("USD", Date("15.03.1996"), "000000001,47", false));
  t.Add(Rate("USD", Date("01.03.1996"), "000000001,45", true));
  t.Add(Rate("CHF", Date("01.03.1996"), "000000001,20", false));
  t.Add(Rate("CHF", Date("31.03.1996"), "000000001,22", false));
  struct Case {
    const char* currency;
    const char* date;
    const char* rate;  // nullptr: none in force
  } cases[] = {
      {"USD", "15.03.1996", "000000001,47"},  // the day's own rate
      {"USD", "16.03.1996", "000000001,45"},  // the month's average
      {"USD", "01.03.1996", "000000001,45"},  // the average's own date is no daily rate
      {"USD", "14.02.1996", nullptr},         // before any rate
      {"USD", "15.03.1997", nullptr},         // same period, other year
      {"CHF", "01.03.1996", "000000001,20"},
      {"CHF", "15.03.1996", nullptr},         // between two daily rates
      {"GBP", "15.03.1996", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.currency) + " " + c.date);
    const RateEntry* found = t.Find(c.currency, Date(c.date).c_str());
    if (!c.rate) {
      EXPECT_EQ(found, nullptr);
      continue;
    }
    ASSERT_NE(found, nullptr);
    EXPECT_STREQ(found->rate, c.rate);
  }
}

TEST(ConvertAmountTest, ExactAndRoundedHalfAwayFromZero) {
  MessageRecorder messages;
  struct Case {
    const char* amount;
    const char* rate;
    int units;
    const char* result;  // nullptr: refused with 428
  } cases[] = {
      {"000001000,00", "000000001,25", 100, "000000012,50"},
      {"000000003,33", "000000001,50", 1, "000000005,00"},     // 4,995
      {"000000003-33", "000000001,50", 1, "000000005-00"},     // -4,995
      {"000000000,05", "000000000,10", 1, "000000000,01"},     // 0,005
      {"000000000,04", "000000000,10", 1, "000000000,00"},     // 0,004
      {"000000000-04", "000000000,10", 1, "000000000,00"},     // no negative zero
      {"123456789,01", "000000195,58", 100, "241456787,95"},   // 241.456.787,9457...
      {"007654321,99", "000000000,37", 1000, "000002832,10"},
      {"999999999,99", "000000001,00", 1, "999999999,99"},
      {"999999999,99", "000000002,00", 1, nullptr},            // too large for an amount
      {"000000100,00", "000000000,00", 1, nullptr},            // a rate of nought
      {"000000100,00", "000000001,00", 0, nullptr},            // no unit count
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.amount) + " * " + c.rate);
    RateEntry r = Rate("USD", "150316", c.rate, false, c.units);
    AmountText result = "";
    messages.Clear();
    if (!c.result) {
      EXPECT_FALSE(ConvertAmount(r, c.amount, result));
      EXPECT_EQ(messages.Numbers(), std::vector<int>{428});
      continue;
    }
    ASSERT_TRUE(ConvertAmount(r, c.amount, result));
    EXPECT_STREQ(result, c.result);
    EXPECT_TRUE(messages.shown.empty());
  }
}

TEST(RateUnitTest, CodesAsKurseStoresThem) {
  for (auto [units, code] : {std::pair{1, 1}, {10, 10}, {100, 2}, {1000, 3}, {10000, 4}, {100000, 5}}) {
    EXPECT_EQ(UnitCodeOf(units), code);
    EXPECT_EQ(UnitsFromCode(code), units);
  }
  EXPECT_EQ(UnitsFromCode(7), 7);  // taken unchanged
}

TEST_F(RateTest, AddRateChecksInTheOrderOfTheDialog) {
  ASSERT_TRUE(Add("usd", "15.03.1996", "1,47", false));
  ASSERT_TRUE(Add("USD", "01.03.1996", "1,45", true));
  struct Case {
    const char* currency;
    const char* date;
    const char* rate;
    bool average;
    int message;
    int control;
  } cases[] = {
      {"", "16.03.1996", "1,47", false, 423, kursverw::kCurrency},
      {"US", "16.03.1996", "1,47", false, 4206, kursverw::kCurrency},
      {"USD", "32.03.1996", "1,47", false, 6, kursverw::kDate},
      {"USD", "15.03.1996", "1,50", false, 426, kursverw::kDate},
      {"USD", "20.03.1996", "1,50", true, 431, kursverw::kDate},
      {"USD", "16.03.1996", "1,4x7", false, 23, kursverw::kRate},
      {"USD", "16.03.1996", "0", false, 23, kursverw::kRate},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.currency) + " " + c.date + " " + c.rate);
    messages_.Clear();
    EXPECT_FALSE(Add(c.currency, c.date, c.rate, c.average));
    EXPECT_EQ(messages_.Numbers(), std::vector<int>{c.message});
    EXPECT_EQ(messages_.focused, std::vector<int>{c.control});
  }
  EXPECT_EQ(CurrentRateTable().entries().size(), 2u);
  // An average rate of another month and a daily rate on the average's day are fine.
  EXPECT_TRUE(Add("USD", "01.04.1996", "1,44", true));
  EXPECT_TRUE(Add("USD", "01.03.1996", "1,46", false));
}

TEST_F(RateTest, RatesWrittenAreReadBackInKeyOrder) {
  ASSERT_TRUE(Add("JPY", "31.12.1996", "1,38", false, "100"));
  ASSERT_TRUE(Add("JPY", "01.01.1996", "1,40", false, "100000"));
  ASSERT_TRUE(Add("JPY", "01.06.1996", "1,39", true, "10"));
  RateTable read;
  ASSERT_TRUE(read.Load());
  ASSERT_EQ(read.entries().size(), 3u);
  // The year-first date lists 31.12. after 01.01.
  EXPECT_STREQ(read.entries()[0].date, Date("01.01.1996").c_str());
  EXPECT_EQ(read.entries()[0].units, 100000);
  EXPECT_STREQ(read.entries()[2].date, Date("31.12.1996").c_str());
  EXPECT_EQ(read.entries()[2].units, 100);
  EXPECT_TRUE(read.entries()[1].average);
  EXPECT_STREQ(read.entries()[1].rate, "000000001,39");
  EXPECT_EQ(RateLine(read.entries()[1]), "01.06.1996\t1,39\t10\tDurchschnittskurs");
}

TEST_F(RateTest, DeletingOneOfTwoRatesOfADayKeepsTheOther) {
  ASSERT_TRUE(Add("USD", "01.03.1996", "1,45", true));
  ASSERT_TRUE(Add("USD", "01.03.1996", "1,46", false));
  RateEntry average = RatesOf("USD")[1];
  ASSERT_TRUE(average.average);
  ASSERT_TRUE(DeleteRate(average));
  RateTable read;
  ASSERT_TRUE(read.Load());
  ASSERT_EQ(read.entries().size(), 1u);
  EXPECT_FALSE(read.entries()[0].average);
  EXPECT_EQ(CurrentRateTable().entries().size(), 1u);
  // The deleted rate may be entered again at once.
  EXPECT_TRUE(Add("USD", "05.03.1996", "1,44", true));
}

TEST_F(RateTest, RequireRateAsksAndOpensTheEntryForAMissingRate) {
  RateEntry found;
  std::string date = Date("16.03.1996");
  // No: nothing is opened.
  static int opened;
  opened = 0;
  SetRateEntryOpener([](const char*, const char*) { ++opened; });
  messages_.answers = {kIdNo};
  EXPECT_FALSE(RequireRate("USD", date.c_str(), found));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{427});
  EXPECT_EQ(opened, 0);

  // Yes: the entry adds the rate, which is then used.
  SetRateEntryOpener([](const char* currency, const char* date) {
    ++opened;
    CurrentRateTable().Add(Rate(currency, date, "000000001,50", false));
  });
  messages_.Clear();
  ASSERT_TRUE(RequireRate("USD", date.c_str(), found));
  EXPECT_EQ(opened, 1);
  EXPECT_STREQ(found.rate, "000000001,50");
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{427});
}

TEST_F(RateTest, OpeningTheFilesRunsEveryRateLoader) {
  for (const char* file : {"bube", "kore"}) ASSERT_TRUE(layouts::CreateFile(dir_, file));
  ASSERT_TRUE(Add("USD", "15.03.1996", "1,47", false));
  CurrentRateTable().Clear();
  static int otherLoads;
  otherLoads = 0;
  AddRateLoader([] { return ++otherLoads > 0; });
  InstallCurrencyRateLoading();
  InstallCurrencyRateLoading();  // once is enough
  ASSERT_TRUE(OpenMainFiles());
  EXPECT_EQ(otherLoads, 1);
  EXPECT_EQ(CurrentRateTable().entries().size(), 1u);

  // A failing loader fails the opening.
  AddRateLoader([] { return false; });
  EXPECT_FALSE(OpenMainFiles());
  EXPECT_FALSE(MainFilesOpen());
}

}  // namespace
