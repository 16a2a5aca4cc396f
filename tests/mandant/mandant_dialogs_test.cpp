// The Mandant dialogs on the offscreen platform, driven by control id.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <functional>

#include "core/mandant/company_master.h"
#include "core/mandant/open_mandant.h"
#include "mandant/mandant_fixture.h"
#include "shell/mandant_dialogs.h"

using namespace talvera;
using talvera::testing::MandantTest;

namespace {

const auto* const kTemplates =
    ::testing::AddGlobalTestEnvironment(new talvera::testing::ChartTemplates);

// Lets `fill` work on the next modal dialog once it is shown.
void OnNextDialog(std::function<void(TalviDialog&)> fill) {
  QTimer::singleShot(0, [fill] {
    auto* d = qobject_cast<TalviDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    fill(*d);
    if (d->isVisible()) d->reject();
  });
}

TEST_F(MandantTest, MandantDialogCreatesAndOpens) {
  using namespace mandant;
  MandantDialog d(nullptr);
  ASSERT_FALSE(d.unusable());
  EXPECT_FALSE(d.Control(kIdOkButton)->isEnabled());
  EXPECT_FALSE(d.Control(kDelete)->isEnabled());

  OnNextDialog([](TalviDialog& c) {
    using namespace mandanlegen;
    EXPECT_EQ(c.Edit(kYear)->text(), "1996");  // today's year
    c.Combo(kMonth)->setCurrentIndex(3);
    c.Edit(kName)->setText("Müller & Co");
    c.Edit(kTaxOffice)->setText("Köln-Altstadt");
    c.Edit(kTaxNumber)->setText("214/5678/0815");
    c.Radio(kSkr04)->setChecked(true);
    c.Radio(kCash)->setChecked(true);
    c.accept();
  });
  d.CreateMandant();
  QListWidget* list = d.List(kList);
  ASSERT_EQ(list->count(), 1);
  EXPECT_EQ(list->item(0)->text(), "Müller & Co");
  EXPECT_TRUE(d.Control(kIdOkButton)->isEnabled());

  // The new Mandant stands selected: OK opens it (it answered message 5).
  messages_.Clear();
  d.accept();
  EXPECT_TRUE(messages_.Numbers().empty());
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_TRUE(MainFilesOpen());
  EXPECT_EQ(CurrentMandant().fiscalStartMonth, 4);
  EXPECT_TRUE(CurrentMandant().cashBasis);
  EXPECT_STREQ(CurrentMandant().receivablesAccount, "   1200");
}

TEST_F(MandantTest, ClosingWithoutAChoiceEndsTheProgramOrAsksAgain) {
  ASSERT_EQ(Create("Eins"), 1);
  {
    MandantDialog d(nullptr);
    d.reject();
    EXPECT_TRUE(d.endProgram());
  }
  {
    // The Mandant was chosen but its files did not open: choose again.
    MandantSeams seams = CurrentMandantSeams();
    seams.login = [](int, int) { return true; };
    SetMandantSeams(seams);
    MandantDialog d(nullptr);
    d.List(mandant::kList)->setCurrentRow(0);
    recman::DeleteFile(data_ / "1996/kore.btr");
    d.accept();
    messages_.Clear();
    d.reject();
    EXPECT_EQ(messages_.Numbers(), std::vector<int>{96});
    EXPECT_FALSE(d.endProgram());
  }
}

TEST_F(MandantTest, SpecialAccountsOnlyForTheBasicChart) {
  CreateMandantDialog d(nullptr);
  using namespace mandanlegen;
  EXPECT_FALSE(d.Control(kChangeSpecial)->isEnabled());
  d.Radio(kBasic)->setChecked(true);
  EXPECT_TRUE(d.Control(kChangeSpecial)->isEnabled());

  SpecialAccountsDialog s(nullptr);
  EXPECT_EQ(s.Edit(tqkr::kFirstNumber)->text(), "1400");
  s.Edit(tqkr::kFirstNumber + 11)->setText("9000");
  s.accept();
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{512});
  EXPECT_EQ(messages_.focused, std::vector<int>{tqkr::kFirstNumber + 11});
  s.Edit(tqkr::kFirstShortCode + 2)->setText("Forder.");
  s.Edit(tqkr::kFirstNumber + 11)->setText("9998");
  messages_.Clear();
  s.accept();
  EXPECT_EQ(messages_.focused, std::vector<int>{tqkr::kFirstShortCode + 2});  // 508
  s.Defaults();
  s.Edit(tqkr::kFirstNumber)->setText("1401");
  s.accept();
  EXPECT_EQ(s.result(), QDialog::Accepted);
  EXPECT_STREQ(CurrentSpecialAccounts()[0].number, "   1401");
}

TEST_F(MandantTest, CompanyMasterDialogShowsAndStores) {
  ASSERT_EQ(Create("Eins", '3', "1996", 10), 1);
  ASSERT_TRUE(OpenMandant(1));
  using namespace stammdat;
  CompanyMasterDialog d(nullptr);
  EXPECT_EQ(d.Edit(kName)->text(), "Eins");
  EXPECT_EQ(d.FieldText(kStartMonth), "Oktober");
  EXPECT_EQ(d.FieldText(kTaxation), "Soll");
  d.Edit(kTaxOffice)->clear();
  d.accept();
  EXPECT_EQ(messages_.focused.back(), kTaxOffice);
  d.Edit(kTaxOffice)->setText("FA Süd");
  d.Edit(kPhone)->setText("0221 123");
  d.accept();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(CurrentCompanyMaster().phone, "0221 123");
  EXPECT_STREQ(CurrentMandant().taxOffice, "FA Süd");
}

// The stored Bundesland is the code the VAT form and the federal tax number
// read: 0 none, 1 Baden-Württemberg .. 16 Thüringen. The list once began
// with Baden-Württemberg at 0, so it read as "none" and every other Land as
// its neighbour.
TEST_F(MandantTest, CompanyMasterStoresTheBundeslandCode) {
  ASSERT_EQ(Create("Eins", '3', "1996", 10), 1);
  ASSERT_TRUE(OpenMandant(1));
  using namespace stammdat;
  CompanyMasterDialog d(nullptr);
  EXPECT_EQ(d.Combo(kFederalState)->currentIndex(), 0);
  d.Edit(kTaxOffice)->setText("FA Süd");
  for (auto [name, code] : {std::pair{"Bayern", 2}, {"Thüringen", 16}}) {
    d.Combo(kFederalState)->setCurrentText(QString::fromUtf8(name));
    d.accept();
    EXPECT_EQ(CurrentCompanyMaster().federalState, code) << name;
  }
}

TEST_F(MandantTest, TakeOverDialogListsTheOthers) {
  ASSERT_EQ(Create("Eins"), 1);
  ASSERT_TRUE(OpenMandant(1));
  {
    TakeOverDialog d(nullptr);
    EXPECT_TRUE(d.empty());
    EXPECT_EQ(messages_.Numbers().back(), 519);
  }
  ASSERT_EQ(Create("Zwei", '4'), 2);
  using namespace datenuebernahme;
  TakeOverDialog d(nullptr);
  ASSERT_EQ(d.List(kMandanten)->count(), 1);
  d.List(kMandanten)->setCurrentRow(0);
  messages_.Clear();
  d.accept();
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{5});
  d.Check(kFirstItem)->setChecked(true);  // Sachkonten
  messages_.Clear();
  d.accept();
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{520});
  EXPECT_STREQ(CurrentMandant().receivablesAccount, "   1200");
}

}  // namespace
