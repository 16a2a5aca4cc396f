#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QTimer>

#include <cstring>
#include <filesystem>
#include <string>

#include "core/layouts/create_file.h"
#include "core/layouts/sako.h"
#include "core/mandant_values.h"
#include "core/message_recorder.h"
#include "core/record_store.h"
#include "core/structure_file.h"
#include "recman/recman.h"
#include "reports/structure_dialogs.h"
#include "support/temp_dir.h"

using namespace talvera;

namespace {

std::string No(const char* digits) { return std::string(7 - std::string(digits).size(), ' ') + digits; }

class StructureDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDataRoot(data_.path());
    SetMandantNumber(1);
    CurrentMandant() = MandantValues{};
    SetFiscalYears("1996", "");
    dir_ = YearDirectory("1996");
    std::filesystem::create_directories(dir_);
    for (const char* f : {"sako", "guvauf", "bilaktau", "bilpasau"})
      ASSERT_TRUE(layouts::CreateFile(dir_, f));
    for (auto [number, cls] : {std::pair{"1000", 2}, {"1200", 2}, {"1400", 2}, {"1600", 4}})
      AddAccount(number, cls);
    // A: 1000, A1 (1200); B
    StructureTree tree;
    tree.title = "Aktiva";
    int a = tree.AppendGroup(StructureTree::kHeader, "A", 1, 0);
    tree.AppendLeaf(a, No("1000"), "", false);
    int a1 = tree.AppendGroup(a, "A1", 2, 0);
    tree.AppendLeaf(a1, No("1200"), "", false);
    tree.AppendGroup(StructureTree::kHeader, "B", 1, 0);
    ASSERT_TRUE(SaveStructure(StructurePath(dir_, StructureKind::kAssets), tree));
  }
  void TearDown() override {
    CloseAll();
    recman::Shutdown();
  }
  void AddAccount(const char* number, int cls, std::string dir = {}) {
    namespace S = layouts::sako;
    char r[S::kLayout.recordLength];
    layouts::InitRecord(S::kLayout, r);
    layouts::SetRawText(r, S::kAccountNo, No(number));
    layouts::SetText(r, S::kName, std::string("Konto ") + number);
    layouts::SetNumber(r, S::kAccountClass, cls);
    ASSERT_TRUE(OpenPath((dir.empty() ? dir_ : dir) + "/sako.btr", kSlotScratch));
    ASSERT_TRUE(Insert(r, MakeFileId(kSlotScratch, 0)));
    CloseSlot(kSlotScratch);
  }
  StructureTree Stored() {
    StructureTree tree;
    EXPECT_TRUE(LoadStructure(StructurePath(dir_, StructureKind::kAssets), tree));
    return tree;
  }
  static int RowOf(QListWidget* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->text().trimmed().startsWith(text)) return i;
    return -1;
  }
  // Drags `payload` into the list and drops it onto row `row`, as the
  // mouse would (the view takes a drop only after the drag entered it).
  static void DropOn(QListWidget* list, int row, const QByteArray& payload) {
    QPoint where = row < 0 ? QPoint(5, list->viewport()->height() - 2)
                           : list->visualItemRect(list->item(row)).center();
    auto* data = new QMimeData;
    data->setData("application/x-talvera-structure-entry", payload);
    QDragEnterEvent enter(where, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &enter);
    QDragMoveEvent move(where, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &move);
    QDropEvent drop(where, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &drop);
    delete data;
    QCoreApplication::processEvents();
  }
  static QByteArray TreeEntry(StructureEditorDialog& d, const QString& text) {
    QListWidget* list = d.List(aufbau::kAssigned);
    return "L" + list->item(RowOf(list, text))->data(Qt::UserRole).toString().toUtf8();
  }

  talvera::testing::TempSettingsDir settings_;
  talvera::testing::TempDir data_;
  std::string dir_;
  MessageRecorder messages_;
};

TEST_F(StructureDialogTest, ShowsTheTreeIndentedAndTheUnassignedAccounts) {
  StructureEditorDialog d(nullptr, 3060);
  ASSERT_TRUE(d.usable());
  EXPECT_EQ(d.windowTitle(), "BILANZ-AKTIVA-AUFBAU");
  QListWidget* assigned = d.List(aufbau::kAssigned);
  ASSERT_EQ(assigned->count(), 5);
  EXPECT_EQ(assigned->item(1)->text(), "\t1000 Konto 1000");
  EXPECT_EQ(assigned->item(2)->text(), "\tA1");
  EXPECT_EQ(assigned->item(3)->text(), "\t\t1200 Konto 1200");
  QListWidget* unassigned = d.List(aufbau::kUnassigned);
  ASSERT_EQ(unassigned->count(), 1);
  EXPECT_EQ(unassigned->item(0)->text(), "1400 Konto 1400");
  d.SetChecked(aufbau::kDepth1, true);
  EXPECT_EQ(assigned->count(), 3);  // A, 1000, B
  d.SetChecked(aufbau::kWithAccounts, false);
  EXPECT_EQ(assigned->count(), 2);
}

// The alternative editor of the assets side places liabilities accounts.
TEST_F(StructureDialogTest, TheAlternativeEditorPlacesTheOtherSidesAccounts) {
  StructureEditorDialog d(nullptr, 3064);
  EXPECT_EQ(d.windowTitle(), "AUSWEICHAUFBAU FÜR PASSIVA-KONTEN");
  QListWidget* unassigned = d.List(aufbau::kUnassigned);
  ASSERT_EQ(unassigned->count(), 1);
  EXPECT_EQ(unassigned->item(0)->text(), "1600 Konto 1600");
  EXPECT_EQ(d.List(aufbau::kAssigned)->count(), 3);  // the groups only
  d.Drop("R" + QString::fromStdString(No("1600")), aufbau::kOntoAssigned,
         Stored().DepthFirst().back());
  StructureTree stored = Stored();
  EXPECT_EQ(stored.at(stored.GroupOf(No("1600"), true)).text, "B");
  EXPECT_EQ(stored.GroupOf(No("1600"), false), -1);
}

TEST_F(StructureDialogTest, DragsAccountsAndGroupsByTheTreesRules) {
  StructureEditorDialog d(nullptr, 3060);
  d.show();
  QListWidget* assigned = d.List(aufbau::kAssigned);
  QListWidget* unassigned = d.List(aufbau::kUnassigned);

  // An unassigned account onto a group hangs it there, in the file too.
  DropOn(assigned, RowOf(assigned, "B"), "R" + QByteArray(No("1400").c_str()));
  EXPECT_TRUE(messages_.Numbers().empty());
  StructureTree stored = Stored();
  EXPECT_EQ(stored.at(stored.GroupOf(No("1400"), false)).text, "B");
  EXPECT_EQ(unassigned->count(), 0);

  struct Refusal {
    const char* what;
    const char* onto;  // row text in the assigned list, "" for the other list
    int message;
  };
  for (Refusal r : {Refusal{"B", "A1", 125}, Refusal{"A1", "1000", 139}, Refusal{"A", "", 122}}) {
    messages_.Clear();
    QByteArray payload = TreeEntry(d, r.what);
    if (*r.onto)
      DropOn(assigned, RowOf(assigned, r.onto), payload);
    else
      DropOn(unassigned, -1, payload);
    EXPECT_EQ(messages_.Numbers(), std::vector<int>{r.message}) << r.what << " -> " << r.onto;
  }
  messages_.Clear();
  DropOn(assigned, RowOf(assigned, "B"), "R" + QByteArray(No("1600").c_str()));
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{121});  // not an account of this side

  // An account dragged out of the tree returns to the unassigned list.
  messages_.Clear();
  DropOn(unassigned, -1, TreeEntry(d, "1200"));
  EXPECT_TRUE(messages_.Numbers().empty());
  EXPECT_EQ(RowOf(unassigned, "1200"), 0);
  EXPECT_EQ(Stored().GroupOf(No("1200"), false), -1);
}

TEST_F(StructureDialogTest, GroupsAreCreatedChangedAndDeleted) {
  StructureEditorDialog d(nullptr, 3060);
  QListWidget* assigned = d.List(aufbau::kAssigned);
  assigned->setCurrentRow(RowOf(assigned, "A1"));
  // Fills the group dialog when it comes up.
  auto answer = [](const char* name, int level) {
    QTimer::singleShot(0, [name, level] {
      auto* g = qobject_cast<GroupDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(g, nullptr);
      g->Edit(gruppe::kName)->setText(name);
      if (level) g->Combo(gruppe::kLevel)->setCurrentText(QString::number(level));
      g->Check(gruppe::kBold)->setChecked(true);
      g->accept();
    });
  };
  answer("Neu", 2);
  d.NewGroup();
  StructureTree stored = Stored();
  std::vector<std::string> names;
  for (int h : stored.DepthFirst())
    if (stored.at(h).IsGroup()) names.push_back(stored.at(h).text);
  EXPECT_EQ(names, (std::vector<std::string>{"A", "A1", "Neu", "B"}));
  EXPECT_EQ(assigned->currentItem()->text(), "\tNeu");
  EXPECT_TRUE(d.Checked(aufbau::kBold));

  answer("Geändert", 0);
  d.ChangeGroup();
  EXPECT_EQ(assigned->currentItem()->text(), "\tGeändert");

  d.Check(aufbau::kUnderlined)->click();  // changes the group at once
  stored = Stored();
  int changed = -1;
  for (int h : stored.DepthFirst())
    if (stored.at(h).text == "Geändert") changed = h;
  ASSERT_GT(changed, 0);
  EXPECT_EQ(stored.at(changed).attributes, kGroupBold | kGroupUnderlined);

  assigned->setCurrentRow(RowOf(assigned, "A"));
  d.DeleteGroup();  // the recorder answers 119 with yes
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{119});
  stored = Stored();
  EXPECT_EQ(stored.GroupOf(No("1000"), false), -1);
  EXPECT_EQ(d.List(aufbau::kUnassigned)->count(), 3);  // 1000, 1200, 1400

  messages_.Clear();
  assigned->setCurrentRow(-1);
  d.ChangeGroup();
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{1});
}

// The bits of a computed line have no check box: changing the others, at
// once or through "GRUPPEAEN", must not turn it into an ordinary group.
TEST_F(StructureDialogTest, ComputedLinesKeepTheirBits) {
  StructureTree tree = Stored();
  tree.AppendGroup(StructureTree::kHeader, "Summe", 1, kGroupSumAbove);
  ASSERT_TRUE(SaveStructure(StructurePath(dir_, StructureKind::kAssets), tree));
  StructureEditorDialog d(nullptr, 3060);
  QListWidget* assigned = d.List(aufbau::kAssigned);
  assigned->setCurrentRow(RowOf(assigned, "Summe"));
  d.Check(aufbau::kBold)->click();
  auto attributesOf = [this](const char* name) {
    StructureTree stored = Stored();
    for (int h : stored.DepthFirst())
      if (stored.at(h).text == name) return stored.at(h).attributes;
    return -1;
  };
  EXPECT_EQ(attributesOf("Summe"), kGroupSumAbove | kGroupBold);
  QTimer::singleShot(0, [] {
    auto* g = qobject_cast<GroupDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(g, nullptr);
    g->Check(gruppe::kBold)->setChecked(false);
    g->accept();
  });
  d.ChangeGroup();
  EXPECT_EQ(attributesOf("Summe"), kGroupSumAbove);
}

TEST_F(StructureDialogTest, OneEditorAtATimeAndUnreadableFiles) {
  {
    StructureEditorDialog open(nullptr, 3059);
    RunStructureEditor(nullptr, 3060);
    EXPECT_EQ(messages_.Numbers(), std::vector<int>{719});
  }
  messages_.Clear();
  ASSERT_EQ(recman::DeleteFile(dir_ + "/bilpasau.btr"), recman::kOk);
  for (int command : {3061, 3064}) {  // the liabilities tree, and its accounts' alternative places
    messages_.Clear();
    StructureEditorDialog broken(nullptr, command);
    EXPECT_FALSE(broken.usable()) << command;
    EXPECT_EQ(messages_.Numbers().back(), 115) << command;
  }
}

TEST_F(StructureDialogTest, TheAccountHookSelectsTheNewAccount) {
  StructureEditorDialog d(nullptr, 3060, No("1400"));
  QListWidget* unassigned = d.List(aufbau::kUnassigned);
  ASSERT_NE(unassigned->currentItem(), nullptr);
  EXPECT_EQ(unassigned->currentItem()->text(), "1400 Konto 1400");
}

// The menu command: question 400, then the shown year and the previous
// year are reconciled and the files opened again.
TEST_F(StructureDialogTest, ReorganisationAsksThenReconcilesBothOpenYears) {
  SetFiscalYears("1996", "1995");
  std::strcpy(CurrentMandant().currentYear, "1996");
  std::strcpy(CurrentMandant().previousYear, "1995");
  std::filesystem::create_directories(YearDirectory("1995"));
  for (const char* f : {"bube", "kred", "debi", "kore"}) ASSERT_TRUE(layouts::CreateFile(dir_, f));
  for (const char* f : {"sako", "guvauf", "bilaktau", "bilpasau"})
    ASSERT_TRUE(layouts::CreateFile(YearDirectory("1995"), f));
  AddAccount("4000", 8, YearDirectory("1995"));
  ASSERT_TRUE(OpenMainFiles());

  messages_.answers = {kIdNo};
  RunStructureReorganisation(nullptr);
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{400});
  EXPECT_FALSE(Stored().HasLeaf(No("1400")));

  messages_.Clear();
  RunStructureReorganisation(nullptr);
  EXPECT_EQ(messages_.Numbers(), (std::vector<int>{400, 407}));
  EXPECT_TRUE(Stored().HasLeaf(No("1400")));  // a loose leaf for the account without one
  EXPECT_TRUE(MainFilesOpen());
  StructureTree previous;
  ASSERT_TRUE(LoadStructure(StructurePath(YearDirectory("1995"), StructureKind::kProfitAndLoss), previous));
  EXPECT_TRUE(previous.HasLeaf(No("4000")));
}

// "Vorjahresaufbau" shows and edits the previous year's tree; without a
// previous year it is not offered.
TEST_F(StructureDialogTest, ThePreviousYearsTree) {
  {
    StructureEditorDialog d(nullptr, 3060);
    EXPECT_FALSE(d.Control(aufbau::kPreviousYear)->isEnabled());
  }
  SetFiscalYears("1996", "1995");
  std::strcpy(CurrentMandant().previousYear, "1995");
  std::filesystem::create_directories(YearDirectory("1995"));
  for (const char* f : {"sako", "guvauf", "bilaktau", "bilpasau"})
    ASSERT_TRUE(layouts::CreateFile(YearDirectory("1995"), f));
  AddAccount("1000", 2, YearDirectory("1995"));
  StructureEditorDialog d(nullptr, 3060);
  ASSERT_TRUE(d.Control(aufbau::kPreviousYear)->isEnabled());
  d.SetChecked(aufbau::kPreviousYear, true);
  EXPECT_EQ(d.List(aufbau::kAssigned)->count(), 0);
  EXPECT_EQ(d.List(aufbau::kUnassigned)->count(), 1);
  QTimer::singleShot(0, [] {
    auto* g = qobject_cast<GroupDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->Combo(gruppe::kLevel)->count(), 1);  // an empty tree offers level 1 only
    g->Edit(gruppe::kName)->setText("Vorjahr");
    g->accept();
  });
  d.NewGroup();
  StructureTree previous;
  ASSERT_TRUE(LoadStructure(StructurePath(YearDirectory("1995"), StructureKind::kAssets), previous));
  ASSERT_EQ(previous.DepthFirst().size(), 1u);
  EXPECT_EQ(previous.at(previous.DepthFirst()[0]).text, "Vorjahr");
  d.SetChecked(aufbau::kPreviousYear, false);
  EXPECT_EQ(d.List(aufbau::kAssigned)->count(), 5);
}

// After a new assets account: its editor, question 140, then the editor of
// the liabilities tree's alternative places, each with the account selected.
TEST_F(StructureDialogTest, ANewBalanceSheetAccountIsPlacedOnBothSides) {
  std::vector<QString> captions, selected;
  QTimer closer;  // closes each editor as it comes up, noting what it showed
  QObject::connect(&closer, &QTimer::timeout, [&] {
    auto* d = qobject_cast<StructureEditorDialog*>(QApplication::activeModalWidget());
    if (!d) return;
    captions.push_back(d->windowTitle());
    QListWidgetItem* item = d->List(aufbau::kUnassigned)->currentItem();
    selected.push_back(item ? item->text() : QString());
    d->reject();
  });
  closer.start(5);
  PlaceNewAccount(nullptr, 2, No("1400"));
  closer.stop();
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{140});
  EXPECT_EQ(captions, (std::vector<QString>{"BILANZ-AKTIVA-AUFBAU", "AUSWEICHAUFBAU FÜR AKTIVA-KONTEN"}));
  EXPECT_EQ(selected, (std::vector<QString>{"1400 Konto 1400", "1400 Konto 1400"}));
}

TEST(StructureGalleryTest, TheSampleEditorWorksInMemory) {
  MessageRecorder messages;
  std::unique_ptr<QDialog> sample = BuildStructureEditorSample(nullptr);
  auto* d = static_cast<StructureEditorDialog*>(sample.get());
  EXPECT_GT(d->List(aufbau::kAssigned)->count(), 4);
  EXPECT_EQ(d->List(aufbau::kUnassigned)->count(), 1);
  int group = d->editing().tree().DepthFirst().front();
  d->Drop("R" + QString::fromStdString(std::string("   1400")), aufbau::kOntoAssigned, group);
  EXPECT_EQ(d->List(aufbau::kUnassigned)->count(), 0);
  EXPECT_TRUE(messages.Numbers().empty());
}

}  // namespace
