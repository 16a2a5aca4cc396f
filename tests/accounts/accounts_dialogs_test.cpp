#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include <memory>

#include "accounts/bank_dialog.h"
#include "accounts/currency_dialog.h"
#include "accounts_fixture.h"
#include "posting/batch_headers.h"

using namespace talvera;
using talvera::testing::AccountsTest;

namespace {

using DialogTest = AccountsTest;

void Type(TalviDialog& d, int id, const char* text) { d.Edit(id)->setText(QString::fromUtf8(text)); }

TEST_F(DialogTest, BankAdministrationCreatesListsSelectsAndChanges) {
  using namespace bankenverw;
  int batch = AddBatch("Kontoauszüge");
  ASSERT_GT(batch, 0);
  BankAdministrationDialog d(nullptr);
  QComboBox* batches = d.Combo(kImportBatch);
  EXPECT_EQ(batches->itemText(0), "<direkt verbuchen>");
  EXPECT_GE(batches->findData(batch), 1);

  Type(d, kAccount, "1200");
  Type(d, kBankCode, "37040044");
  Type(d, kBankAccount, "532013000");
  Type(d, kBankName, "Commerzbank");
  Type(d, kIban, "DE89 3704 0044 0532 0130 00");
  batches->setCurrentIndex(batches->findData(batch));
  ASSERT_TRUE(d.Create());
  QListWidget* list = d.List(kList);
  ASSERT_EQ(list->count(), 1);
  EXPECT_EQ(list->item(0)->text(),
            "   1200\t37040044\t532013000\tCommerzbank\tKontoauszüge\tDE89 3704 0044 0532 0130 00\t");
  EXPECT_EQ(d.Edit(kAccount)->text(), "");  // cleared for the next one
  EXPECT_EQ(batches->currentIndex(), 0);

  d.SelectLine(0);
  EXPECT_EQ(d.Edit(kAccount)->text(), "1200");
  EXPECT_EQ(batches->currentData().toInt(), batch);
  Type(d, kBankName, "Commerzbank Köln");
  ASSERT_TRUE(d.Change());
  EXPECT_TRUE(list->item(0)->text().contains("Commerzbank Köln"));
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(DialogTest, BankAdministrationForANewAccountClosesAfterSaving) {
  using namespace bankenverw;
  BankAdministrationDialog d(nullptr, "   1800");
  EXPECT_EQ(d.Edit(kAccount)->text(), "1800");
  Type(d, kBankCode, "12345678");
  Type(d, kBankAccount, "1");
  Type(d, kBankName, "Postbank");
  ASSERT_TRUE(d.Create());
  EXPECT_EQ(d.result(), QDialog::Accepted);
}

TEST_F(DialogTest, CurrencyAdministrationAddsListsAndDeletes) {
  using namespace kursverw;
  CurrencyDialog d(nullptr);
  d.Combo(kCurrency)->setCurrentText("USD");
  Type(d, kDate, "15.03.1996");
  Type(d, kRate, "1,47");
  ASSERT_TRUE(d.New());
  d.Check(kAverage)->setChecked(true);
  Type(d, kDate, "01.03.1996");
  Type(d, kRate, "1,45");
  ASSERT_TRUE(d.New());
  QListWidget* list = d.List(kList);
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->item(0)->text(), "01.03.1996\t1,45\t1\tDurchschnittskurs");

  d.Combo(kCurrency)->setCurrentText("CHF");
  EXPECT_EQ(list->count(), 0);
  d.Combo(kCurrency)->setCurrentText("USD");
  EXPECT_EQ(list->count(), 2);

  EXPECT_FALSE(d.Remove());
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{424});
  list->setCurrentRow(0);
  ASSERT_TRUE(d.Remove());
  EXPECT_EQ(list->count(), 1);
  EXPECT_TRUE(list->item(0)->text().endsWith("Tageskurs"));

  // Leaving rebuilds the rate table from the file.
  CurrentRateTable().Clear();
  d.accept();
  EXPECT_EQ(CurrentRateTable().entries().size(), 1u);
}

TEST_F(DialogTest, MissingRateOfAPostingIsEnteredAndUsed) {
  using namespace kursverw;
  std::string date = Date("16.03.1996");
  CurrencyDialog d(nullptr, "USD", date);
  EXPECT_EQ(d.Combo(kCurrency)->currentText(), "USD");
  EXPECT_EQ(d.Edit(kDate)->text(), "16.03.1996");
  Type(d, kRate, "1,48");
  ASSERT_TRUE(d.New());
  EXPECT_EQ(d.result(), QDialog::Accepted);
  RateEntry found;
  ASSERT_TRUE(FindRate("USD", date.c_str(), found));
  EXPECT_STREQ(found.rate, "000000001,48");
}

TEST_F(DialogTest, SamplesNeedNoMandant) {
  SetDataRoot(data_ / "nirgends");
  std::unique_ptr<BankAdministrationDialog> bank(BuildBankAdministrationSample(nullptr));
  std::unique_ptr<CurrencyDialog> rates(BuildCurrencySample(nullptr));
  EXPECT_EQ(bank->List(bankenverw::kList)->count(), 2);
  EXPECT_EQ(bank->Edit(bankenverw::kIban)->text(), "DE89 3704 0044 0532 0130 00");
  EXPECT_EQ(rates->List(kursverw::kList)->count(), 2);
  rates->reject();
  EXPECT_TRUE(messages_.shown.empty());
}

}  // namespace
