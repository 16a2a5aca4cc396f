// The account windows and their dialogs, driven as the user drives them, on
// the small SKR 03 Mandant with its trees and tax rates.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "accounts/account_dialogs.h"
#include "accounts/account_lists.h"
#include "accounts/account_store.h"
#include "accounts/account_window.h"
#include "core/layouts/personal.h"
#include "core/layouts/sako.h"
#include "core/mandant_values.h"
#include "core/message_recorder.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "core/structure_file.h"
#include "core/today.h"
#include "recman/recman.h"
#include "shell/frame_commands.h"
#include "shell/main_frame.h"
#include "shell/shell_state.h"
#include "small_accounts_fixture.h"
#include "support/small_mandant.h"
#include "support/temp_dir.h"
#include "widgets/copy_target.h"

using namespace talvera;
namespace tt = talvera::testing;

namespace {

namespace S = layouts::sako;
using namespace kontoneu;
using namespace kontowahl;

std::string No(const char* digits) { return std::string(7 - std::strlen(digits), ' ') + digits; }

// Runs `act` on the modal dialog that the next exec() shows.
void WhenModal(std::function<void(TalviDialog*)> act) {
  QTimer::singleShot(0, [act] {
    auto* dialog = qobject_cast<TalviDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    act(dialog);
  });
}

void Type(TalviDialog* d, int id, const char* text) { d->Edit(id)->setText(QString::fromUtf8(text)); }

class AccountWindowTest : public tt::SmallAccountsTest {
 protected:
  void SetUp() override {
    CurrentShell() = ShellState{};
    tt::SmallAccountsTest::SetUp();
  }
  void TearDown() override {
    CloseAccountWindows();
    SetAccountWindowRules({});
    CurrentShell() = ShellState{};
    tt::SmallAccountsTest::TearDown();
  }

  static std::vector<std::string> Numbers(const std::vector<AccountListEntry>& entries) {
    std::vector<std::string> out;
    for (const AccountListEntry& e : entries) out.push_back(e.number);
    return out;
  }
};

TEST_F(AccountWindowTest, WindowsListCreateChangeCopyAndDelete) {
  MainFrame frame;
  RegisterCommands(frame);
  CurrentShell().databaseOpen = true;
  CurrentShell().currentMandant = 1;
  frame.Refresh();
  KeyboardFilter keys(&frame, [](long) {});
  QKeyEvent f5(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
  EXPECT_TRUE(keys.eventFilter(&frame, &f5));
  AccountWindow* window = OpenAccountWindow(WindowKind::kSachkonten);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), "Sachkonten");

  // Typing follows the list.
  window->Edit(kontoverwaltung::kSelection)->setText("84");
  window->FollowTyping();
  EXPECT_EQ(window->SelectedNumber(), No("8400"));

  // "&Neu..." with a second new-account dialog refused while the first is open.
  window->SetSortOrder(0);
  WhenModal([&](TalviDialog* d) {
    EXPECT_FALSE(window->NewAccount());
    EXPECT_EQ(messages_.Numbers(), std::vector<int>{719});
    Type(d, kNumber, "8401");
    Type(d, kShortCode, "Erl8401");
    Type(d, kName, "Erlöse Sonder");
    d->SetChecked(kClassProfitLoss, true);
    d->accept();
  });
  ASSERT_TRUE(window->NewAccount());
  EXPECT_EQ(window->SelectedNumber(), No("8401"));
  StructureTree tree;
  ASSERT_TRUE(LoadStructure(StructurePath(YearDirectory("1996"), StructureKind::kProfitAndLoss), tree));
  EXPECT_TRUE(tree.HasLeaf(No("8401")));

  // "Än&dern..." of the new account; the window shows both at once.
  WhenModal([](TalviDialog* d) {
    EXPECT_TRUE(d->Edit(kNumber)->isReadOnly());
    Type(d, kName, "Erlöse geändert");
    d->accept();
  });
  ASSERT_TRUE(window->ChangeAccount());
  AccountListModel* model = window->model();
  int changed = model->RowOf(No("8401"), true);
  ASSERT_GE(changed, 0);
  EXPECT_EQ(model->Entry(changed).name, "Erlöse geändert");
  EXPECT_EQ(model->RowOf(No("8400"), false), changed - 1);

  // "&Kopieren" fills the account field a stand-in dialog registered.
  QDialog standIn;
  auto* field = new QLineEdit(&standIn);
  standIn.show();
  RegisterCopyTarget(field);
  window->UpdateButtons();
  window->ActivateRow(changed);  // a double-click copies while a target exists
  EXPECT_EQ(field->text(), "8401");
  UnregisterCopyTarget(field);

  // KTOLOE refuses the VAT account a tax rate names.
  messages_.Clear();
  DeleteAccountsDialog remove(nullptr);
  QListWidget* list = remove.List(ktoloe::kList);
  int row = -1;
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->text().startsWith("1776\t")) row = i;
  ASSERT_GE(row, 0);
  list->setCurrentRow(row);
  EXPECT_FALSE(remove.Delete());
  ASSERT_EQ(messages_.Numbers(), std::vector<int>{480});
  EXPECT_NE(messages_.shown[0].text.find("Steuersatz"), std::string::npos) << messages_.shown[0].text;
}

TEST(CopyTarget, AnAccountFieldBecomesTheTargetWhenEntered) {
  QDialog dialog;
  auto* other = new QLineEdit(&dialog);
  auto* account = new QLineEdit(&dialog);
  account->move(0, 40);
  TrackCopyTarget(account);
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  other->setFocus();
  EXPECT_NE(CopyTarget(), account);
  account->setFocus();
  EXPECT_EQ(CopyTarget(), account);
  EXPECT_TRUE(CopyToTarget("   1200"));
  EXPECT_EQ(account->text(), "1200");
  delete account;  // a closed dialog is no target
  EXPECT_EQ(CopyTarget(), nullptr);
  EXPECT_FALSE(CopyToTarget("1200"));
}

TEST_F(AccountWindowTest, QuickNewAccountOpensTheFullDialogFilledIn) {
  WhenModal([this](TalviDialog* quick) {
    quick->SetChecked(ktoneu::kDebitor, true);
    Type(quick, kNumber, "10000");  // Meier's
    Type(quick, kShortCode, "Neu");
    quick->accept();
    EXPECT_EQ(messages_.Numbers(), std::vector<int>{4});
    Type(quick, kNumber, "10500");
    WhenModal([](TalviDialog* full) {
      EXPECT_EQ(full->objectName(), "DEBINEU");
      EXPECT_EQ(full->FieldText(kNumber), "10500");
      EXPECT_EQ(full->FieldText(kShortCode), "Neu");
      Type(full, kName, "Neukunde GmbH");
      full->accept();
    });
    quick->accept();
  });
  std::string number;
  ASSERT_TRUE(RunQuickNewAccount(nullptr, number));
  EXPECT_EQ(number, No("10500"));
  AccountListEntry entry;
  bool found = false;
  ASSERT_TRUE(ReadAccountEntry(AccountFile::kDebi, number, entry, found));
  EXPECT_TRUE(found);
  EXPECT_EQ(entry.name, "Neukunde GmbH");
}

TEST_F(AccountWindowTest, DeletingWaitsForTheNextChoiceAndCanBeTakenBack) {
  DeleteAccountsDialog remove(nullptr);
  remove.SetChecked(ktoloe::kSachkonten, false);
  remove.SetChecked(ktoloe::kKostenstellen, true);
  QListWidget* list = remove.List(ktoloe::kList);
  ASSERT_EQ(list->count(), 2);  // cost centres 100 and 200
  list->setCurrentRow(0);
  ASSERT_TRUE(remove.Delete());
  EXPECT_EQ(list->count(), 1);
  EXPECT_EQ(remove.Edit(ktoloe::kDeletedCount)->text(), "1");
  ASSERT_TRUE(remove.Undo());  // nothing was deleted yet
  EXPECT_EQ(list->count(), 2);
  list->setCurrentRow(1);
  ASSERT_TRUE(remove.Delete());
  remove.accept();  // closing carries the choice out
  std::vector<AccountListEntry> left;
  ASSERT_TRUE(ListAccounts(AccountFile::kKore, AccountOrder::kNumber, "", left));
  EXPECT_EQ(Numbers(left), std::vector<std::string>{No("100")});
}

TEST_F(AccountWindowTest, WindowShowsChangesOtherDialogsStore) {
  AccountWindow* window = ShowAccountWindow(nullptr, WindowKind::kDebitoren);
  AccountListModel* model = window->model();
  ASSERT_EQ(model->rowCount(), 1);
  // A Debitor stored elsewhere (the quick new account of the posting dialog).
  std::vector<char> r(layouts::personal::kLayout.recordLength);
  layouts::InitRecord(layouts::personal::kLayout, r.data());
  layouts::SetRawText(r.data(), layouts::personal::kAccountNo, No("10100"));
  layouts::SetText(r.data(), layouts::personal::kShortCode, "Schulz");
  ASSERT_TRUE(SaveNewAccount(AccountFile::kDebi, r.data(), false));
  QApplication::processEvents();
  EXPECT_EQ(model->rowCount(), 2);
  ASSERT_TRUE(DeleteAccount(AccountFile::kDebi, No("10100")));
  QApplication::processEvents();
  EXPECT_EQ(model->rowCount(), 1);
}

TEST_F(AccountWindowTest, ArchiveAndEvaluationsEnableTheButtons) {
  bool archive = false, evaluations = false;
  AccountWindowRules rules;
  rules.archiveOpen = [&] { return archive; };
  rules.evaluationsUnlocked = [&] { return evaluations; };
  SetAccountWindowRules(rules);
  AccountWindow* window = ShowAccountWindow(nullptr, WindowKind::kSachkonten);
  using namespace kontoverwaltung;
  struct Case {
    bool archive, evaluations;
    bool change, analysis;
  };
  for (Case c : {Case{false, false, true, false}, Case{true, true, false, true}}) {
    archive = c.archive;
    evaluations = c.evaluations;
    window->UpdateButtons();
    for (int id : {kNew, kChange, kBudget}) EXPECT_EQ(window->Control(id)->isEnabled(), c.change) << id;
    EXPECT_EQ(window->Control(kAnalysis)->isEnabled(), c.analysis);
  }
  EXPECT_FALSE(window->NewAccount());  // disabled in the archive: no dialog
}

TEST_F(AccountWindowTest, SortOrderAndSelectionAreKeptPerWindow) {
  AccountWindow* window = ShowAccountWindow(nullptr, WindowKind::kKreditoren);
  window->SetSortOrder(3);
  EXPECT_EQ(ReadSetting("SortKnrK"), "3");
  EXPECT_EQ(window->Edit(kontoverwaltung::kSelection)->maxLength(), 6);
  window->SetSortOrder(1);
  window->Edit(kontoverwaltung::kSelection)->setText("Li");
  window->FillList();
  EXPECT_EQ(ReadSetting("AuswahlK"), "Li");
  EXPECT_EQ(window->model()->rowCount(), 1);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(window, &escape);
  EXPECT_FALSE(window->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(OpenAccountWindow(WindowKind::kKreditoren), nullptr);
  AccountWindow* again = ShowAccountWindow(nullptr, WindowKind::kKreditoren);
  EXPECT_EQ(again->Combo(kontoverwaltung::kSortOrder)->currentIndex(), 1);
  EXPECT_EQ(again->Edit(kontoverwaltung::kSelection)->text(), "Li");
  EXPECT_TRUE(again->close());  // the close box too
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(OpenAccountWindow(WindowKind::kKreditoren), nullptr);
}

// Pages of any size give the list one page gives; the account a page
// stopped at may go before the next page is read.
TEST_F(AccountWindowTest, PagesGoOnWhereTheLastOneStopped) {
  for (AccountOrder order : {AccountOrder::kNumber, AccountOrder::kShortCode, AccountOrder::kName}) {
    for (const char* prefix : {"", "8", "Erl"}) {
      std::vector<AccountListEntry> whole, paged;
      AccountPages all(AccountFile::kSako, order, prefix);
      ASSERT_TRUE(all.ReadMore(100000, whole));
      AccountPages pages(AccountFile::kSako, order, prefix);
      while (!pages.atEnd()) ASSERT_TRUE(pages.ReadMore(7, paged));
      EXPECT_EQ(Numbers(paged), Numbers(whole)) << static_cast<int>(order) << " " << prefix;
    }
  }
  std::vector<AccountListEntry> first, rest;
  AccountPages pages(AccountFile::kSako, AccountOrder::kNumber, "");
  ASSERT_TRUE(pages.ReadMore(3, first));
  ASSERT_TRUE(DeleteAccount(AccountFile::kSako, first.back().number));
  ASSERT_TRUE(pages.ReadMore(1, rest));
  std::vector<AccountListEntry> now;
  ASSERT_TRUE(ListAccounts(AccountFile::kSako, AccountOrder::kNumber, "", now));
  EXPECT_EQ(rest[0].number, now[2].number);
}

TEST_F(AccountWindowTest, TypedSelectionFindsTheAccount) {
  struct Case {
    AccountFile file;
    AccountOrder order;
    const char* typed;
    const char* number;  // "" for none
  } cases[] = {
      {AccountFile::kSako, AccountOrder::kNumber, "8400", "8400"},
      {AccountFile::kSako, AccountOrder::kNumber, "84", "8400"},   // start of a longer number
      {AccountFile::kSako, AccountOrder::kShortCode, "USt19", "1776"},
      {AccountFile::kSako, AccountOrder::kShortCode, "zzz", ""},
      {AccountFile::kDebi, AccountOrder::kNumber, "1", "10000"},
      {AccountFile::kKred, AccountOrder::kName, "Lief", "70000"},
      {AccountFile::kKore, AccountOrder::kShortCode, "Ve", "200"},  // "Vertr" comes before "Verw"
  };
  for (const Case& c : cases) {
    std::string number;
    bool found = false;
    ASSERT_TRUE(FindAccountForSelection(c.file, c.order, c.typed, number, found)) << c.typed;
    EXPECT_EQ(found, c.number[0] != 0) << c.typed;
    if (c.number[0]) EXPECT_EQ(number, No(c.number)) << c.typed;
  }
}

// A change dialog holds the record it read; a posting made while it was
// open must survive the change.
TEST_F(AccountWindowTest, ChangeKeepsTotalsPostedMeanwhile) {
  std::vector<char> shown;
  bool found = false;
  ASSERT_TRUE(ReadAccountRecord(WindowKind::kSachkonten, "8400", shown, found));
  ASSERT_TRUE(found);
  std::vector<char> posted = shown;
  layouts::SetRawText(posted.data(), S::kPeriodCredit.At(4), "000000100,00");
  layouts::SetNumber(posted.data(), S::kUnposted, 0);
  char key[8];
  std::memcpy(key, No("8400").c_str(), 8);
  std::vector<char> current(shown.size());
  ASSERT_TRUE(GetEqual(current.data(), KeyValue(key, 8), found, MakeFileId(kSlotSako, 0)));
  ASSERT_TRUE(Update(posted.data(), MakeFileId(kSlotSako, 0)));

  layouts::SetText(shown.data(), S::kName, "Erlöse neu");
  ASSERT_TRUE(SaveChangedAccount(AccountFile::kSako, shown.data()));
  std::vector<char> stored;
  ASSERT_TRUE(ReadAccountRecord(WindowKind::kSachkonten, "8400", stored, found));
  EXPECT_EQ(layouts::GetText(stored.data(), S::kName), "Erlöse neu");
  EXPECT_EQ(layouts::GetText(stored.data(), S::kPeriodCredit.At(4)), "000000100,00");
  EXPECT_EQ(layouts::GetNumber(stored.data(), S::kUnposted), 0);
}

TEST_F(AccountWindowTest, BudgetDialogDevelopsAndStoresTheFigures) {
  std::vector<char> record;
  bool found = false;
  ASSERT_TRUE(ReadAccountRecord(WindowKind::kSachkonten, "8400", record, found));
  BudgetDialog budget(nullptr, WindowKind::kSachkonten, record);
  WhenModal([](TalviDialog* d) {
    Type(d, swentwicklung::kStart, "100,00");
    Type(d, swentwicklung::kEnd, "1200,00");
    d->accept();
  });
  ASSERT_TRUE(budget.Develop());
  EXPECT_EQ(budget.Edit(sollwerte::kPeriod1 + 1)->text(), "200,00");
  EXPECT_EQ(budget.Edit(sollwerte::kTotal)->text(), "7.800,00");
  Type(&budget, sollwerte::kPeriod1, "x");
  EXPECT_FALSE(budget.Recompute());
  Type(&budget, sollwerte::kPeriod1, "150,00");
  ASSERT_TRUE(budget.Recompute());
  EXPECT_EQ(budget.Edit(sollwerte::kTotal)->text(), "7.850,00");
  budget.accept();
  EXPECT_EQ(budget.result(), QDialog::Accepted);
  ASSERT_TRUE(ReadAccountRecord(WindowKind::kSachkonten, "8400", record, found));
  BudgetValues values{};
  ASSERT_TRUE(ReadBudget(record.data(), S::kBudget, values));
  EXPECT_EQ(values[0], 15000);
  EXPECT_EQ(values[11], 120000);
  EXPECT_EQ(layouts::GetText(record.data(), S::kBudget.At(12)), "000007850,00");
}

}  // namespace
