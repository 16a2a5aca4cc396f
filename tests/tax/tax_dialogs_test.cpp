#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include <filesystem>
#include <vector>

#include "core/layouts/bat.h"
#include "core/layouts/create_file.h"
#include "core/layouts/sako.h"
#include "core/message_recorder.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/today.h"
#include "recman/recman.h"
#include "support/temp_dir.h"
#include "tax/tax_dialogs.h"

using namespace talvera;

namespace {

class TaxDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("TALVERA_TODAY", "15.05.1996", 1);
    ResetDayToday();
    SetDataRoot(data_.path());
    SetMandantNumber(2);
    SetFiscalYears("1996", "");
    CurrentMandantSettings() = MandantSettings{};
    std::filesystem::create_directories(YearDirectory("1996"));
    for (const char* file : {"steke", "bat", "sako", "debi", "kred"})
      ASSERT_TRUE(layouts::CreateFile(YearDirectory("1996"), file));
    for (auto [number, code] : {std::pair{"   1771", "USt16"}, {"   1571", "VSt16"}, {"   1588", "EUSt"},
                                {"   1200", "Bank"}})
      AddSachkonto(number, code);
  }
  void TearDown() override {
    CloseAll();
    recman::Shutdown();
    ::unsetenv("TALVERA_TODAY");
    ResetDayToday();
    SetMandantNumber(1);
  }
  void AddSachkonto(const char* number, const char* code) {
    namespace sako = layouts::sako;
    std::vector<char> r(sako::kLayout.recordLength);
    layouts::InitRecord(sako::kLayout, r.data());
    layouts::SetRawText(r.data(), sako::kAccountNo, number);
    layouts::SetText(r.data(), sako::kShortCode, code);
    ASSERT_TRUE(Insert(r.data(), kSlotSako));
  }
  // Fills the input of a rate set; every account is one of the test's.
  static void Type(RateMaintenanceDialog& d, const char* from, const char* standard) {
    using namespace steanl;
    d.Edit(kStandardFrom)->setText(from);
    d.Edit(kStandardPercent)->setText(standard);
    d.Edit(kReducedPercent)->setText("7");
    for (int id : {kStandardOutput, kReducedOutput, kOtherOutput, kEcOutput}) d.Edit(id)->setText("1771");
    for (int id : {kStandardInput, kReducedInput, kOtherInput, kEcInput}) d.Edit(id)->setText("1571");
  }
  talvera::testing::TempSettingsDir settings_;
  talvera::testing::TempDir data_;
  MessageRecorder messages_;
};

TEST_F(TaxDialogTest, RateMaintenanceChecksCreatesUndoesAndWrites) {
  using namespace steanl;
  RateMaintenanceDialog d(nullptr);
  EXPECT_FALSE(d.Control(kCreate)->isEnabled());
  d.New();
  EXPECT_EQ(d.Edit(kEcFrom)->text(), "15.05.1996");
  d.Edit(kOtherFrom)->setText("01.01.1996");
  emit d.Edit(kOtherFrom)->textEdited("01.01.1996");
  EXPECT_EQ(d.Edit(kStandardFrom)->text(), "01.01.1996");

  struct Refusal {
    int field;
    const char* text;
    int message;
  };
  // No EG record yet: the EG group is written at once and needs nothing
  // else (the other groups may still be empty); a bad EG account is refused.
  Type(d, "01.01.1996", "");
  for (int id : {kStandardOutput, kStandardInput, kReducedPercent, kOtherOutput}) d.Edit(id)->clear();
  d.Edit(kEcInput)->setText("9999");
  messages_.Clear();
  EXPECT_FALSE(d.Create());
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{36});
  d.Edit(kEcInput)->setText("1571");
  ASSERT_TRUE(d.Create());
  EXPECT_EQ(d.List(kEcList)->count(), 1);
  EXPECT_EQ(d.List(kStandardList)->count(), 0);
  EXPECT_TRUE(d.pendingSets().empty());

  // From then on every group is read.
  for (Refusal r : {Refusal{kStandardPercent, "100", 15}, Refusal{kStandardOutput, "", 22},
                    Refusal{kStandardInput, "15x1", 3}, Refusal{kEcInput, "9999", 36}}) {
    SCOPED_TRACE(r.field);
    Type(d, "01.01.1996", "15");
    d.Edit(r.field)->setText(r.text);
    messages_.Clear();
    EXPECT_FALSE(d.Create());
    EXPECT_EQ(messages_.Numbers(), std::vector<int>{r.message});
    EXPECT_EQ(messages_.focused, std::vector<int>{r.field});
  }
  Type(d, "01.01.1996", "15");
  ASSERT_TRUE(d.Create());
  ASSERT_EQ(d.pendingSets().size(), 1u);
  EXPECT_EQ(d.Edit(kStandardPercent)->text(), "");
  Type(d, "01.04.1996", "16");
  ASSERT_TRUE(d.Create());
  EXPECT_TRUE(d.List(kStandardList)->item(0)->text().startsWith("16,00\t01.04.1996"));

  d.Undo();  // the April set goes back into the fields
  EXPECT_EQ(d.pendingSets().size(), 1u);
  EXPECT_EQ(d.Edit(kStandardPercent)->text(), "16,00");
  d.Undo();  // and back again
  EXPECT_EQ(d.pendingSets().size(), 2u);

  d.accept();  // "&Beenden" writes both sets
  std::vector<RateRecord> standard;
  ASSERT_TRUE(ListRateRecords(kStandardRate, standard));
  ASSERT_EQ(standard.size(), 2u);
  EXPECT_STREQ(standard[0].rate, "16,00");
  EXPECT_STREQ(CurrentRatesInForce().standard, "16,00");
}

// The fifth group: § 13b records with the sets, both accounts or none.
TEST_F(TaxDialogTest, Section13bGroupIsWrittenWithTheSet) {
  using namespace steanl;
  RateMaintenanceDialog d(nullptr);
  d.New();
  EXPECT_EQ(d.Edit(kReverseChargeFrom)->text(), "15.05.1996");
  Type(d, "01.01.1996", "15");
  ASSERT_TRUE(d.Create());  // the first EG record, no § 13b accounts named
  EXPECT_EQ(d.List(kReverseChargeList)->count(), 0);

  Type(d, "01.04.1996", "16");
  d.Edit(kReverseChargeOutput)->setText("1771");
  messages_.Clear();
  EXPECT_FALSE(d.Create());
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{22});
  EXPECT_EQ(messages_.focused, std::vector<int>{kReverseChargeInput});
  d.Edit(kReverseChargeInput)->setText("1571");
  ASSERT_TRUE(d.Create());
  Type(d, "01.07.1996", "16");  // a set without § 13b accounts
  ASSERT_TRUE(d.Create());
  ASSERT_EQ(d.List(kReverseChargeList)->count(), 1);
  EXPECT_TRUE(d.List(kReverseChargeList)->item(0)->text().startsWith("01.04.1996"));
  d.accept();
  std::vector<RateRecord> records;
  ASSERT_TRUE(ListRateRecords(kReverseChargeRate, records));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_STREQ(records[0].validFrom, "010416");
  EXPECT_EQ(records[0].index, 0);
  EXPECT_STREQ(records[0].inputTaxAccount, "   1571");
  ASSERT_TRUE(ListRateRecords(kEcRate, records));
  EXPECT_EQ(records.size(), 3u);
}

TEST_F(TaxDialogTest, NewWarnsAboutWaitingBatchBookings) {
  std::vector<char> booking(layouts::bat::kLayout.recordLength);
  layouts::InitRecord(layouts::bat::kLayout, booking.data());
  ASSERT_TRUE(Insert(booking.data(), kSlotBat));
  RateMaintenanceDialog d(nullptr);
  d.New();
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{99});
  EXPECT_TRUE(d.Control(steanl::kCreate)->isEnabled());
}

TEST_F(TaxDialogTest, ImportVatAccountIsChosenAndStored) {
  CurrentSettings().sortKnr = false;
  ImportVatAccountDialog d(nullptr);
  QListWidget* list = d.List(eust::kList);
  ASSERT_EQ(list->count(), 4);
  EXPECT_TRUE(list->item(0)->text().contains("Bank"));  // by short code
  d.accept();
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{5});
  d.Radio(eust::kByNumber)->setChecked(true);
  EXPECT_TRUE(list->item(0)->text().startsWith("   1200"));
  list->setCurrentRow(2);  // 1588
  EXPECT_EQ(d.Edit(eust::kAccount)->text(), "1588");
  d.accept();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(ReadSetting("EUST1"), "1588");  // Mandant 2
  EXPECT_EQ(CurrentMandantSettings().eust, "   1588");
}

// Filling the list made its first row current, which copied that account
// into the field: OK then wrote it over the configured one.
TEST_F(TaxDialogTest, FillingTheListKeptTheConfiguredAccount) {
  CurrentSettings().sortKnr = true;
  CurrentMandantSettings().eust = "   1588";
  ImportVatAccountDialog d(nullptr);
  d.show();
  QListWidget* list = d.List(eust::kList);
  list->setFocus();  // a list that gets the focus makes its first row current
  d.Radio(eust::kByShortCode)->setChecked(true);
  EXPECT_EQ(d.Edit(eust::kAccount)->text(), "1588");
  d.accept();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(ReadSetting("EUST1"), "1588");
  EXPECT_TRUE(messages_.Numbers().empty());
}

}  // namespace
