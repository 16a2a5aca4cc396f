#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>

#include "core/message_recorder.h"
#include "core/settings.h"
#include "widgets/dialog_kit.h"
#include "support/temp_dir.h"

using namespace talvera;

namespace {

TEST(DialogKit, FillListStopsWhenFull) {
  MessageRecorder messages;
  QListWidget list;
  std::vector<std::string> lines(kListCapacity + 5, "   1400\tKasse");
  EXPECT_FALSE(FillList(&list, lines, true));
  EXPECT_EQ(list.count(), kListCapacity);
  EXPECT_EQ(messages.Numbers(), std::vector<int>{20});

  messages.Clear();
  EXPECT_TRUE(FillList(&list, {"a", "b"}, true));
  EXPECT_EQ(list.count(), 2);
  EXPECT_TRUE(messages.shown.empty());
}

TEST(DialogKit, ListToField) {
  QListWidget list;
  list.addItems({"   1400\tKasse", "   1200\tBank"});
  QLineEdit edit("alt");
  ListToField(&list, &edit, true);
  EXPECT_EQ(edit.text(), "");  // nothing selected
  list.setCurrentRow(1);
  ListToField(&list, &edit, true);
  EXPECT_EQ(edit.text(), "1200\tBank");
  ListToField(&list, &edit, false);
  EXPECT_EQ(edit.text(), "   1200\tBank");
}

TEST(DialogKit, DialogGeometryIsRemembered) {
  talvera::testing::TempSettingsDir settings;
  QDialog dialog;
  QListWidget* list = new QListWidget(&dialog);
  dialog.resize(300, 200);
  dialog.move(40, 50);
  SaveDialogGeometry(&dialog, 1);
  EXPECT_EQ(ReadNumberSetting("WndPos1X", -1), 40);
  EXPECT_EQ(ReadNumberSetting("WndHgt1", -1), 200);

  WriteNumberSetting("WndHgt1", 260);
  QDialog again;
  QListWidget* list2 = new QListWidget(&again);
  list2->resize(100, 100);
  again.resize(300, 200);
  RestoreDialogGeometry(&again, 1, list2);
  EXPECT_EQ(again.height(), 260);
  EXPECT_EQ(again.pos(), QPoint(40, 50));
  EXPECT_EQ(list2->minimumHeight(), 160);  // the list took the 60 pixels
  (void)list;
}

TEST(DialogKit, KeypadPlusActsAsTab) {
  QDialog dialog;
  auto* first = new QLineEdit(&dialog);
  auto* second = new QLineEdit(&dialog);
  second->move(0, 40);
  InstallKeypadPlus(&dialog, false);
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  first->setFocus();
  QKeyEvent plus(QEvent::KeyPress, Qt::Key_Plus, Qt::KeypadModifier, "+");
  QApplication::sendEvent(first, &plus);
  EXPECT_EQ(dialog.focusWidget(), second);
  EXPECT_EQ(first->text(), "");
}

}  // namespace

namespace {

// Labels and headings without a buddy showed their "&" as it stands
// ("&Versteuerungsart", "Ust. 1&5% :").
class MnemonicDialog : public TalviDialog {
 public:
  MnemonicDialog() : TalviDialog(nullptr, "TEST", "Test") {
    BeginGroup("&Versteuerungsart");
    AddRadio(101, "Sollverst.");
    AddRadio(102, "Istverst.");
    EndGroup();
    auto* line = new QHBoxLayout;
    line->addWidget(Register(103, new QLineEdit(this)));
    line->addWidget(Register(104, new QLineEdit(this)));
    AddRow("Ust. 1&5% :", line);
    AddHeading("&Kontenrahmen");
    AddEdit(105, "Rabatt && Skonto :", 5);
    AddButtons();
  }
  bool Confirm() override { return true; }
};

TEST(DialogKit, MnemonicsNameTheirControlOrAreNotShown) {
  MnemonicDialog d;
  d.show();
  for (QLabel* label : d.findChildren<QLabel*>()) {
    QString text = label->text();
    bool mnemonic = text.replace("&&", "").contains('&');
    EXPECT_TRUE(!mnemonic || label->buddy()) << label->text().toStdString();
  }
  auto labelOf = [&](const QString& text) -> QLabel* {
    for (QLabel* label : d.findChildren<QLabel*>())
      if (label->text() == text) return label;
    return nullptr;
  };
  ASSERT_NE(labelOf("Ust. 1&5% :"), nullptr);
  EXPECT_EQ(labelOf("Ust. 1&5% :")->buddy(), d.Control(103));
  EXPECT_NE(labelOf("Kontenrahmen"), nullptr);  // a heading names no control
  ASSERT_NE(labelOf("Rabatt && Skonto :"), nullptr);
  EXPECT_TRUE(d.findChild<QGroupBox*>()->title() == "&Versteuerungsart");
}

TEST(DialogKit, TitleTableAndFieldWidths) {
  MnemonicDialog d;
  EXPECT_EQ(DialogTitle("MANDANLEGEN"), "Mandant anlegen");
  EXPECT_EQ(d.windowTitle(), "Test");  // not in the table: the dialog's own
  // A five-character field is as wide as five characters, not the dialog.
  EXPECT_LT(d.Edit(105)->maximumWidth(), 200);
}

}  // namespace
