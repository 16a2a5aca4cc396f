#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <fstream>
#include <map>
#include <set>

#include "core/mandant_values.h"
#include "core/message.h"
#include "core/message_recorder.h"
#include "core/settings.h"
#include "reports/print_list_box.h"
#include "reports/printer.h"
#include "reports/report_window.h"
#include "shell/frame_commands.h"
#include "shell/command_table.h"
#include "shell/lock_keys.h"
#include "shell/main_frame.h"
#include "shell/shell_state.h"
#include "support/temp_dir.h"

using namespace talvera;

namespace {

TEST(CommandTable, EveryCommandIsCompleteAndUnique) {
  std::set<int> ids;
  for (const CommandInfo& c : Commands()) {
    EXPECT_TRUE(ids.insert(c.id).second) << c.id;
    EXPECT_NE(std::string(c.text), "") << c.id;
  }
  // The commands without a status prompt are the four the menu leaves without one.
  for (const CommandInfo& c : Commands()) {
    if (!MessageText(c.id)) {
      EXPECT_TRUE(c.id == 10026 || c.id == 3090 || c.id == 3001 || c.id == 10011) << c.id;
    }
  }
  for (int id : ToolbarCommands()) {
    if (id) {
      EXPECT_NE(FindCommand(id), nullptr) << id;
    }
  }
  EXPECT_EQ(TopMenus().size(), 10u);
}

// Every command that posts bookings marks the data as changed, so that
// ending the program offers the backup.
TEST(CommandTable, PostingCommandsMarkTheDataChanged) {
  for (int id : {3013, 3051, 2098, 3014, 2097, 3076}) {
    const CommandInfo* c = FindCommand(id);
    ASSERT_NE(c, nullptr) << id;
    EXPECT_TRUE(c->changesData) << id;
  }
}

TEST(CommandTable, EnablingRules) {
  struct Case {
    int id;
    CommandContext context;
    bool allowed;
  };
  CommandContext none;
  CommandContext evaluations;
  evaluations.evaluationsUnlocked = true;
  CommandContext posting;
  posting.postingDialogOpen = true;
  posting.evaluationsUnlocked = true;
  CommandContext clerk;  // may record bookings, but not post them
  clerk.rights = kRightBuchungenErfassen;
  CommandContext booker;
  booker.rights = kRightBuchungenErfassen | kRightVerbuchen;
  CommandContext archive;
  archive.archiveOpen = true;
  archive.rights = ~0u;
  const Case cases[] = {
      {3000, none, false},        {3000, evaluations, true},  {3000, posting, false},
      {3013, clerk, false},       {3013, booker, true},       {3080, clerk, true},
      {3013, archive, false},     {3047, archive, true},      {3047, none, false},
      {3071, none, false},        {3015, none, true},         {3066, booker, false},
  };
  for (const Case& c : cases) EXPECT_EQ(CommandAllowed(*FindCommand(c.id), c.context), c.allowed) << c.id;
}

// Cause: no command opened the program passwords.
TEST(CommandTable, ProgramPasswordsUnderSettingsForAdministrators) {
  const CommandInfo* command = FindCommand(10030);
  ASSERT_NE(command, nullptr);
  EXPECT_STREQ(command->menu, "Datei");
  EXPECT_STREQ(command->submenu, "Einstellungen");
  CommandContext administrator, booker;
  administrator.rights = kRightAdministration;
  booker.rights = kRightBuchungenErfassen | kRightVerbuchen;
  EXPECT_TRUE(CommandAllowed(*command, administrator));
  EXPECT_FALSE(CommandAllowed(*command, booker));
}

TEST(WindowTitle, FollowsTheMandantAndItsFiscalYear) {
  ShellState s;
  EXPECT_EQ(WindowTitle(s), "TALVERA");
  s.currentMandant = 1;
  s.userName = "Anna";
  s.firmName = "Müller GmbH";
  s.fiscalYear = "1999";
  CurrentMandant().fiscalStartMonth = 7;
  EXPECT_EQ(WindowTitle(s), "TALVERA - Anna - Müller GmbH ( 1999/00 )");
  CurrentMandant().fiscalStartMonth = 1;
  EXPECT_EQ(WindowTitle(s), "TALVERA - Anna - Müller GmbH ( 1999 )");
}

TEST(PrepareStart, RefusesWithoutDataRoot) {
  talvera::testing::TempSettingsDir settings;
  MessageRecorder messages;
  EXPECT_FALSE(PrepareStart());
  std::ofstream(settings / "TALVI.INI") << "[TALVI]\nPfad=" << (settings / "fehlt") << "\n";
  EXPECT_FALSE(PrepareStart());
  std::ofstream(settings / "TALVI.INI") << "[TALVI]\nPfad=" << settings.path() << "\nDBFehler=80\n";
  EXPECT_TRUE(PrepareStart());
  EXPECT_EQ(messages.Numbers(), (std::vector<int>{60, 513}));
  EXPECT_EQ(ReadSetting("DBFehler"), "");
}

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CurrentShell() = ShellState{};
    CurrentSettings() = Settings{};
  }
  void TearDown() override { CurrentShell() = ShellState{}; }
  talvera::testing::TempSettingsDir settings_;
  MessageRecorder messages_;
};

TEST_F(FrameTest, CommandsWithoutWorkOrRightStayDisabled) {
  MainFrame frame;
  int runs = 0;
  frame.SetHandler(3000, [&] {
    ++runs;
    return -1;
  });
  EXPECT_FALSE(frame.ActionOf(3000)->isEnabled());
  frame.RunCommand(3000);  // Ctrl+G without evaluations does nothing
  EXPECT_EQ(runs, 0);
  CurrentShell().evaluationsUnlocked = true;
  frame.Refresh();
  EXPECT_TRUE(frame.ActionOf(3000)->isEnabled());
  frame.RunCommand(3000);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(CurrentShell().helpContext, 3000);
  EXPECT_FALSE(frame.ActionOf(3046)->isEnabled());  // year change: a later part
  EXPECT_EQ(frame.ActionOf(3000)->shortcut(), QKeySequence("Ctrl+G"));
  EXPECT_EQ(frame.ActionOf(3000)->statusTip(), "Ausgabe der aktuellen Gewinn- und Verlustrechnung");
}

TEST_F(FrameTest, PostingDialogGreysMenusAndBlocksTheExit) {
  MainFrame frame;
  frame.show();
  frame.EnablePostingMenus(false);
  auto menus = frame.menuBar()->actions();
  EXPECT_FALSE(menus[0]->menu()->isEnabled());
  EXPECT_TRUE(menus[1]->menu()->isEnabled());
  EXPECT_FALSE(menus[8]->menu()->isEnabled());
  EXPECT_FALSE(frame.close());
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{412});
  frame.EnablePostingMenus(true);
  EXPECT_TRUE(menus[0]->menu()->isEnabled());
}

TEST_F(FrameTest, ExitAsksForTheBackup) {
  MainFrame frame;
  int backups = 0;
  frame.SetHandler(3030, [&] {
    ++backups;
    return 0;
  });
  frame.show();
  ShellState& s = CurrentShell();
  s.databaseOpen = true;
  s.dataChanged = true;
  CurrentSettings().sFrage = true;
  messages_.answers = {kIdCancel};
  EXPECT_FALSE(frame.close());
  messages_.answers = {kIdYes};
  EXPECT_TRUE(frame.close());
  EXPECT_EQ(messages_.Numbers(), (std::vector<int>{21, 21}));
  EXPECT_EQ(backups, 1);
}

TEST_F(FrameTest, KeysAboveAllWindows) {
  MainFrame frame;
  long asked = -1;
  KeyboardFilter filter(&frame, [&](long context) { asked = context; });
  CurrentShell().helpContext = 3095;
  QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
  EXPECT_TRUE(filter.eventFilter(&frame, &f1));
  EXPECT_EQ(asked, 3095);

  // Numeric-pad "+" moves on like Tab in any dialog.
  QDialog dialog;
  auto* first = new QLineEdit(&dialog);
  auto* second = new QLineEdit(&dialog);
  second->move(0, 40);
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  first->setFocus();
  QKeyEvent plus(QEvent::KeyPress, Qt::Key_Plus, Qt::KeypadModifier, "+");
  EXPECT_TRUE(filter.eventFilter(first, &plus));
  EXPECT_EQ(dialog.focusWidget(), second);
  EXPECT_EQ(first->text(), "");
}

}  // namespace

// Counts the key presses a widget gets.
class KeyCounter : public QObject {
 public:
  int presses = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) ++presses;
    return QObject::eventFilter(watched, event);
  }
};

// The frame handed every key to the report window, which gave back what it
// did not use: the two passed it to and fro until the stack overflowed.
TEST_F(FrameTest, KeyPressBouncedBetweenFrameAndReportWindow) {
  MainFrame frame;
  frame.show();
  CurrentShell().currentMandant = 1;
  QWidget* report = frame.reportWindow();
  KeyCounter counter;
  report->installEventFilter(&counter);
  report->setFocus();
  QMenu* help = frame.menuBar()->actions().back()->menu();
  frame.menuBar()->setActiveAction(frame.menuBar()->actions().back());
  struct Press {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    QString text;
  };
  const Press presses[] = {
      {Qt::Key_Alt, Qt::AltModifier, {}},      {Qt::Key_A, Qt::NoModifier, "a"},
      {Qt::Key_Return, Qt::NoModifier, "\r"},  {Qt::Key_K, Qt::AltModifier, "k"},
      {Qt::Key_F4, Qt::AltModifier, {}},       {Qt::Key_B, Qt::NoModifier, "b"},
  };
  // Into the report window, into the frame from elsewhere, and into the open
  // Hilfe menu, which hands what it does not know to the menu bar.
  for (QWidget* target : {report, static_cast<QWidget*>(&frame), static_cast<QWidget*>(help)}) {
    for (const Press& p : presses) {
      counter.presses = 0;
      QKeyEvent event(QEvent::KeyPress, p.key, p.modifiers, p.text);
      QApplication::sendEvent(target, &event);
      EXPECT_LE(counter.presses, 1) << p.key;
    }
  }
  // Keys pressed elsewhere in the frame still reach the report window: Esc clears it.
  counter.presses = 0;
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  frame.menuBar()->setFocus();
  QApplication::sendEvent(&frame, &escape);
  EXPECT_EQ(counter.presses, 1);
}

// Nothing opened the configured printer at start-up: after a restart the
// printer dialogs showed none and printing gave message 53.
TEST_F(FrameTest, PrinterIsOpenedAtStart) {
  CurrentSettings().drucker = "PDF-Datei," + (settings_ / "liste.pdf");
  OpenPrinterAtStart();
  EXPECT_NE(CurrentPrinter(), nullptr);
  EXPECT_TRUE(messages_.Numbers().empty());
  CurrentSettings().drucker = "Gibt es nicht,CUPS,";
  OpenPrinterAtStart();
  EXPECT_EQ(CurrentPrinter(), nullptr);
  EXPECT_EQ(messages_.Numbers(), std::vector<int>{53});
}

// F2 list printing was installed only by tests, never by the program.
TEST_F(FrameTest, F2PrintsTheListBoxOfAnyDialog) {
  InstallListPrinting();
  QDialog dialog;
  auto* list = new QListWidget(&dialog);
  QKeyEvent f2(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier);
  QApplication::sendEvent(list, &f2);
  list->addItem("   1000\tKasse");
  QApplication::sendEvent(list, &f2);  // no Mandant open
  EXPECT_EQ(messages_.Numbers(), (std::vector<int>{734, 524}));
  SetListPrintHeaderSource({});
}

// "Ja" to the backup question did nothing while there is no backup, and the
// program ended without a word.
TEST_F(FrameTest, BackupAnswerWithoutBackupSaysSoAndLetsTheUserStay) {
  MainFrame frame;
  frame.show();
  ShellState& s = CurrentShell();
  s.databaseOpen = true;
  s.dataChanged = true;
  CurrentSettings().sFrage = true;
  messages_.answers = {kIdYes, kIdNo};
  EXPECT_FALSE(frame.close());
  messages_.answers = {kIdYes, kIdYes};
  EXPECT_TRUE(frame.close());
  EXPECT_EQ(messages_.Numbers(), (std::vector<int>{21, 921, 21, 921}));
}

// Menus and the report window's menu offered what could not run; menus had
// no groups; the window could be shrunk to nothing.
TEST_F(FrameTest, MenusShowWhatCanRun) {
  MainFrame frame;
  frame.show();
  QMenu* datei = frame.menuBar()->actions()[0]->menu();
  int separators = 0;
  QMenu* reorganise = nullptr;
  for (QAction* a : datei->actions()) {
    if (a->isSeparator()) ++separators;
    if (a->menu() && a->text() == "Reorganisieren") reorganise = a->menu();
  }
  EXPECT_GE(separators, 5);
  ASSERT_NE(reorganise, nullptr);
  EXPECT_FALSE(reorganise->isEnabled());  // neither entry has its work yet
  frame.SetHandler(3100, [] { return 0; });
  EXPECT_TRUE(reorganise->isEnabled());

  EXPECT_GE(frame.minimumWidth(), 55 * QFontMetrics(frame.font()).averageCharWidth());
  EXPECT_GE(frame.minimumHeight(), 14 * QFontMetrics(frame.font()).lineSpacing());

  std::map<int, bool> offered;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    for (QAction* a : menu->actions())
      if (!a->isSeparator()) offered[a->data().toInt()] = a->isEnabled();
    menu->close();
  });
  PopUpReportMenu(&frame, QPoint(10, 10), true, [](int) {},
                  [&](int id) { return frame.CommandEnabled(id); });
  EXPECT_FALSE(offered[3071]);  // no report shown: nothing to copy
  EXPECT_TRUE(offered[3032]);   // Beenden
}

// The CAP, NUM and SCRL panes never changed.
TEST_F(FrameTest, LockKeyPanesFollowTheKeys) {
  MainFrame frame;
  frame.ShowLockKeys({true, false, true});
  EXPECT_TRUE(frame.findChild<QLabel*>("CAP")->isEnabled());
  EXPECT_FALSE(frame.findChild<QLabel*>("NUM")->isEnabled());
  EXPECT_TRUE(frame.findChild<QLabel*>("SCRL")->isEnabled());
  frame.ShowLockKeys({});
  EXPECT_FALSE(frame.findChild<QLabel*>("CAP")->isEnabled());
}
