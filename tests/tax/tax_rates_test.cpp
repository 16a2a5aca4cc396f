#include <gtest/gtest.h>

#include <sqlite3.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/layouts/create_file.h"
#include "core/message_recorder.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/today.h"
#include "recman/recman.h"
#include "support/temp_dir.h"
#include "tax/rate_sets.h"
#include "tax/tax_rates.h"

using namespace talvera;

namespace {

RateSet Set(const char* validFrom, const char* standard, const char* reduced, const char* suffix) {
  RateSet s;
  std::strcpy(s.validFrom, validFrom);
  std::strcpy(s.standardRate, standard);
  std::strcpy(s.reducedRate, reduced);
  auto account = [&](char* out, const char* base) { std::snprintf(out, 8, "%6s%s", base, suffix); };
  account(s.standardOutput, "177");
  account(s.standardInput, "157");
  account(s.reducedOutput, "176");
  account(s.reducedInput, "156");
  account(s.otherOutput, "178");
  account(s.otherInput, "158");
  account(s.ecOutput, "179");
  account(s.ecInput, "159");
  return s;
}

class TaxRatesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("TALVERA_TODAY", "15.05.1996", 1);
    ResetDayToday();
    SetDataRoot(data_.path());
    SetMandantNumber(1);
    SetFiscalYears("1996", "");
    CurrentMandantSettings() = MandantSettings{};
    std::filesystem::create_directories(YearDirectory("1996"));
    for (const char* file : {"steke", "bat"})
      ASSERT_TRUE(layouts::CreateFile(YearDirectory("1996"), file));
  }
  void TearDown() override {
    CloseAll();
    recman::Shutdown();
    ::unsetenv("TALVERA_TODAY");
    ResetDayToday();
  }
  talvera::testing::TempSettingsDir settings_;
  talvera::testing::TempDir data_;
  MessageRecorder messages_;
};

TEST_F(TaxRatesTest, RecordValidAtTheDocumentDate) {
  // 15 % from 1 January, 16 % from 1 April.
  ASSERT_TRUE(WriteRateSets({Set("010116", "15,00", "07,00", "1"), Set("010416", "16,00", "07,00", "2")}));
  RateRecord r;
  bool found = false;
  ASSERT_TRUE(RateRecordAt(kStandardRate | kInputTaxBit, "150316", r, found));
  ASSERT_TRUE(found);
  EXPECT_STREQ(r.rate, "15,00");
  EXPECT_EQ(r.index, 1);
  EXPECT_STREQ(r.outputTaxAccount, "   1771");
  ASSERT_TRUE(RateRecordAt(kStandardRate, "010416", r, found));
  EXPECT_STREQ(r.rate, "16,00");
  EXPECT_STREQ(r.inputTaxAccount, "   1572");
  ASSERT_TRUE(RateRecordAt(kStandardRate, "311215", r, found));
  EXPECT_FALSE(found);  // before every record

  ASSERT_TRUE(RatesInForce("150316"));
  EXPECT_STREQ(CurrentRatesInForce().standard, "15,00");
  EXPECT_STREQ(CurrentRatesInForce().reduced, "07,00");
  EXPECT_EQ(CurrentRatesInForce().standardIndex, 1);
  {
    RatesInForceGuard guard;
    ASSERT_TRUE(RatesInForce("150416"));
    EXPECT_STREQ(CurrentRatesInForce().standard, "16,00");
  }
  EXPECT_STREQ(CurrentRatesInForce().standard, "15,00");
  // Writing sets leaves the rates of today (May) in force.
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(TaxRatesTest, NewSetOnTheNewestDateReplacesIt) {
  ASSERT_TRUE(WriteRateSets({Set("010116", "15,00", "07,00", "1")}));
  ASSERT_TRUE(WriteRateSets({Set("010416", "16,00", "07,00", "2")}));
  ASSERT_TRUE(WriteRateSets({Set("010416", "16,50", "07,50", "3")}));
  std::vector<RateRecord> standard;
  ASSERT_TRUE(ListRateRecords(kStandardRate, standard));
  ASSERT_EQ(standard.size(), 2u);
  EXPECT_STREQ(standard[0].rate, "16,50");
  EXPECT_EQ(standard[0].index, 0);
  EXPECT_STREQ(standard[1].rate, "15,00");
  EXPECT_EQ(standard[1].index, 1);
  EXPECT_STREQ(CurrentRatesInForce().standard, "16,50");  // today is in May
}

// Cause: a set entered later became index 0 whatever its date, so an
// earlier rate entered afterwards passed for the newest.
TEST_F(TaxRatesTest, SetsEnteredOutOfDateOrderKeepTheDateOrder) {
  ASSERT_TRUE(WriteRateSets({Set("010416", "16,00", "07,00", "2")}));
  ASSERT_TRUE(WriteRateSets({Set("010116", "15,00", "07,00", "1")}));
  ASSERT_TRUE(WriteRateSets({Set("010216", "15,50", "07,00", "3")}));
  std::vector<RateRecord> standard;
  ASSERT_TRUE(ListRateRecords(kStandardRate, standard));
  std::vector<std::string> order;
  for (const RateRecord& r : standard) order.push_back(std::string(r.rate) + "@" + std::to_string(r.index));
  EXPECT_EQ(order, (std::vector<std::string>{"16,00@0", "15,50@1", "15,00@2"}));
  RateRecord r;
  bool found = false;
  ASSERT_TRUE(RateRecordAt(kStandardRate, "150516", r, found) && found);
  EXPECT_STREQ(r.rate, "16,00");
  EXPECT_STREQ(CurrentRatesInForce().standard, "16,00");  // today is in May
}

TEST_F(TaxRatesTest, FirstEcRecordAndLaterSets) {
  bool has = true;
  ASSERT_TRUE(HasEcRecord(has));
  EXPECT_FALSE(has);
  ASSERT_TRUE(InsertFirstEcRecord(Set("010116", "", "", "0")));
  ASSERT_TRUE(HasEcRecord(has));
  EXPECT_TRUE(has);
  std::vector<RateRecord> ec;
  ASSERT_TRUE(ListRateRecords(kEcRate, ec));
  ASSERT_EQ(ec.size(), 1u);
  EXPECT_EQ(ec[0].index, kFirstEcIndex);

  ASSERT_TRUE(WriteRateSets({Set("010416", "16,00", "07,00", "2")}));
  ASSERT_TRUE(ListRateRecords(kEcRate, ec));
  ASSERT_EQ(ec.size(), 2u);
  EXPECT_STREQ(ec[0].validFrom, "010416");
  EXPECT_EQ(ec[0].index, 0);
  EXPECT_STREQ(ec[1].validFrom, "010116");  // the first record moved behind it
  EXPECT_EQ(ec[1].index, 1);
  RateRecord r;
  bool found = false;
  ASSERT_TRUE(RateRecordAt(kEcRate, "150216", r, found));
  EXPECT_STREQ(r.outputTaxAccount, "   1790");
  ASSERT_TRUE(RateRecordByIndex(kEcRate, 1, r, found));
  ASSERT_TRUE(found);
  EXPECT_STREQ(r.validFrom, "010116");
  ASSERT_TRUE(RateRecordByIndex(kEcRate, 5, r, found));
  EXPECT_FALSE(found);
}

// A set names § 13b accounts or leaves them out (books without § 13b): only
// the sets that name them add a § 13b record, the first EG set included.
TEST_F(TaxRatesTest, Section13bRecordsComeWithTheSetsThatNameThem) {
  auto withReverseCharge = [](RateSet s, const char* output, const char* input) {
    std::strcpy(s.reverseChargeOutput, output);
    std::strcpy(s.reverseChargeInput, input);
    return s;
  };
  ASSERT_TRUE(InsertFirstEcRecord(withReverseCharge(Set("010116", "", "", "0"), "   1785", "   1578")));
  ASSERT_TRUE(WriteRateSets({withReverseCharge(Set("010416", "16,00", "07,00", "2"), "   1787", "   1577"),
                             Set("010716", "16,00", "07,00", "3")}));
  std::vector<RateRecord> records;
  ASSERT_TRUE(ListRateRecords(kEcRate, records));
  EXPECT_EQ(records.size(), 3u);
  ASSERT_TRUE(ListRateRecords(kReverseChargeRate, records));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_STREQ(records[0].validFrom, "010416");
  EXPECT_EQ(records[0].index, 0);
  EXPECT_STREQ(records[0].outputTaxAccount, "   1787");
  EXPECT_STREQ(records[1].inputTaxAccount, "   1578");
  EXPECT_EQ(records[1].index, 1);
  // Their accounts are tax accounts from their dates on.
  EXPECT_TRUE(IsTaxAccount("1785", "150216"));
  EXPECT_FALSE(IsTaxAccount("1577", "150216"));
  EXPECT_TRUE(IsTaxAccount("1577", "150816"));
}

TEST_F(TaxRatesTest, RecordForARate) {
  ASSERT_TRUE(WriteRateSets({Set("010116", "15,00", "07,00", "1"), Set("010416", "16,00", "07,00", "2")}));
  RateRecord r;
  ASSERT_TRUE(RateRecordForRate("16,00", "150516", r));
  EXPECT_EQ(r.rateClass, kStandardRate);
  EXPECT_STREQ(r.outputTaxAccount, "   1772");
  // 15 % is valid in May too, but older than the first "other" record: +64.
  ASSERT_TRUE(RateRecordForRate("15,00", "150516", r));
  EXPECT_EQ(r.rateClass, kStandardRate + 64);
  // A rate no record has: the first "other rate" record.
  ASSERT_TRUE(RateRecordForRate("05,50", "150516", r));
  EXPECT_EQ(r.rateClass, kOtherRate);
  EXPECT_STREQ(r.outputTaxAccount, "   1782");
  EXPECT_TRUE(messages_.shown.empty());
  // Before every record: nothing, message 92.
  EXPECT_FALSE(RateRecordForRate("16,00", "151215", r));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{92});
}

TEST_F(TaxRatesTest, TaxAccounts) {
  ASSERT_TRUE(WriteRateSets({Set("010116", "15,00", "07,00", "1"), Set("010416", "16,00", "07,00", "2")}));
  CurrentMandantSettings().eust = "   1588";
  EXPECT_TRUE(IsTaxAccount("1588", "150316"));
  EXPECT_TRUE(IsTaxAccount("   1771", "150316"));
  EXPECT_FALSE(IsTaxAccount("   1772", "150316"));  // the April accounts are not valid yet
  EXPECT_TRUE(IsTaxAccount("   1772", "150416"));
  EXPECT_TRUE(IsTaxAccount("1592", "150416"));
  EXPECT_FALSE(IsTaxAccount("   8400", "150416"));
}

TEST_F(TaxRatesTest, FailedWriteLeavesTheRatesAsTheyWere) {
  ASSERT_TRUE(WriteRateSets({Set("010116", "15,00", "07,00", "1")}));
  // Another workstation holds the write lock on the year's data.
  recman::SetBusyTimeout(50);
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open((YearDirectory("1996") + "/records.db").c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  EXPECT_FALSE(WriteRateSets({Set("010416", "16,00", "07,00", "2")}));
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  recman::SetBusyTimeout(1500);
  ASSERT_FALSE(messages_.shown.empty());
  EXPECT_EQ(messages_.shown.back().number, 81);
  std::vector<RateRecord> standard;
  ASSERT_TRUE(ListRateRecords(kStandardRate, standard));
  ASSERT_EQ(standard.size(), 1u);
  EXPECT_STREQ(standard[0].rate, "15,00");
}

TEST_F(TaxRatesTest, OpeningTheMainFilesLoadsTodaysRates) {
  ASSERT_TRUE(WriteRateSets({Set("010116", "15,00", "07,00", "1"), Set("010616", "16,00", "07,00", "2")}));
  for (const char* file : {"sako", "bube", "kred", "debi", "kore"})
    ASSERT_TRUE(layouts::CreateFile(YearDirectory("1996"), file));
  CurrentRatesInForce() = RatesInForceValue{};
  InstallRateLoading();
  ASSERT_TRUE(OpenMainFiles());
  SetMainFilesSeams({});
  EXPECT_STREQ(CurrentRatesInForce().standard, "15,00");  // today is 15 May
}

TEST_F(TaxRatesTest, WaitingBatchBookings) {
  bool waiting = true;
  ASSERT_TRUE(BatchBookingsWaiting(waiting));
  EXPECT_FALSE(waiting);
}

}  // namespace
