#include "shell/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <span>

#include "core/message.h"
#include "core/record_store.h"
#include "core/settings.h"
#include "reports/journal_band.h"
#include "widgets/dialog_kit.h"
#include "reports/print_report.h"
#include "widgets/icon_theme.h"
#include "reports/report_window.h"
#include "shell/command_table.h"
#include "shell/lock_keys.h"
#include "shell/shell_state.h"
#include "shell/notifier.h"

namespace talvera {
namespace {

constexpr int kMessageBackup = 21;
constexpr int kMessagePostingDialogOpen = 412;
constexpr int kMessageNoBackupYet = 921;
constexpr int kCommandBackup = 3030;

QString Prompt(int id) {
  std::optional<std::string> text = MessageText(id);
  return text ? QString::fromStdString(*text) : QString();
}

// The band above the report window that carries the journal's column heads.
class JournalBand : public QWidget {
 public:
  JournalBand(QWidget* parent, ReportWindow* report) : QWidget(parent), report_(report) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    PaintJournalBand(painter, rect(), report_->ReportFont());
  }

 private:
  ReportWindow* report_;
};

// Toolbar pictures chosen for what the command does, from the icon theme;
// the tile with its abbreviation stands in where the theme has none.
struct CommandIcon {
  int id;
  std::initializer_list<const char*> names;
  const char* abbreviation;
  QColor colour;
};

QIcon IconOf(int id) {
  const QColor data(0x44, 0x6e, 0x9b), posting(0x3a, 0x87, 0x4f), report(0x8a, 0x5a, 0x9e),
      open(0xb0, 0x6a, 0x2c), help(0x60, 0x60, 0x60);
  static const CommandIcon kIcons[] = {
      {3031, {"document-revert", "document-open"}, "Hol", data},
      {3030, {"document-save"}, "Sich", data},
      {3071, {"edit-copy"}, "Kop", data},
      {3048, {"document-print", "printer"}, "Dru", data},
      {3013, {"journal-new", "document-edit"}, "Buc", posting},
      {3051, {"view-financial-list", "view-list-details"}, "Stp", posting},
      {2098, {"edit-undo"}, "Sto", posting},
      {3015, {"view-pim-journal", "x-office-document"}, "Jou", report},
      {3009, {"view-financial-account", "x-office-spreadsheet"}, "Kto", report},
      {3012, {"office-report", "x-office-document"}, "USt", report},
      {3044, {"office-chart-bar"}, "Bil", report},
      {3000, {"office-chart-line"}, "GuV", report},
      {3074, {"view-financial-category-income"}, "OPD", open},
      {3075, {"view-financial-category-expense"}, "OPK", open},
      {57666, {"help-contents", "help-browser"}, "?", help},
  };
  for (const CommandIcon& c : kIcons)
    if (c.id == id) return ThemeIcon(c.names, c.abbreviation, c.colour);
  return {};
}

}  // namespace

MainFrame::MainFrame() {
  setObjectName("CMainFrame");
  auto* central = new QWidget(this);
  report_ = new ReportWindow(central);
  report_->setObjectName(ControlNameOfReport());
  band_ = new JournalBand(central, report_);
  setCentralWidget(central);
  BuildMenus();
  BuildToolbar();
  BuildStatusBar();
  // No smaller than 55 average characters by 14 lines of the screen font.
  QFontMetrics metrics(font());
  setMinimumSize(55 * metrics.averageCharWidth(), 14 * metrics.lineSpacing());
  connect(report_, &ReportWindow::reportShown, this, [this](int kind) {
    CurrentShell().reportKind = kind;
    PlaceReportWindow();
    Refresh();
  });
  connect(report_, &ReportWindow::contextMenuRequested, this, [this](const QPoint& pos) {
    if (CurrentShell().currentMandant == 0) return;
    PopUpReportMenu(this, pos, CurrentShell().accountWindowsVisible, [this](int id) { RunCommand(id); },
                    [this](int id) { return CommandEnabled(id); });
  });
  SetHandler(3071, [] { return CopyReportToClipboard() ? 0 : -1; });
  SetHandler(3081, [this] {
    report_->ClearReport();
    return 0;
  });
  SetHandler(3032, [this] {
    close();
    return 0;
  });
  Refresh();
}

MainFrame::~MainFrame() = default;

QString MainFrame::ControlNameOfReport() { return QStringLiteral("id1"); }

void MainFrame::BuildMenus() {
  auto tops = TopMenus();
  for (std::size_t i = 0; i < tops.size() && i < 10; ++i) {
    topMenus_[i] = menuBar()->addMenu(QString::fromUtf8(tops[i]));
    connect(topMenus_[i], &QMenu::aboutToShow, this, &MainFrame::Refresh);
  }
  std::map<std::string, QMenu*> submenus;
  for (const CommandInfo& c : Commands()) {
    QMenu* top = nullptr;
    for (std::size_t i = 0; i < tops.size(); ++i)
      if (QString::fromUtf8(tops[i]).remove('&') == QString::fromUtf8(c.menu)) top = topMenus_[i];
    if (!top) continue;
    const std::span<const int> starts = MenuGroupStarts();
    bool groupStart = std::find(starts.begin(), starts.end(), c.id) != starts.end();
    QMenu* menu = top;
    if (c.submenu[0]) {
      std::string key = std::string(c.menu) + "/" + c.submenu;
      if (!submenus.count(key)) {
        if (groupStart && !top->isEmpty()) top->addSeparator();
        groupStart = false;
        submenus[key] = top->addMenu(QString::fromUtf8(c.submenu));
        submenus_.push_back(submenus[key]);
      }
      menu = submenus[key];
    }
    if (groupStart && !menu->isEmpty()) menu->addSeparator();
    auto* action = menu->addAction(QString::fromUtf8(c.text));
    if (c.shortcut[0]) action->setShortcut(QKeySequence(QString::fromUtf8(c.shortcut)));
    action->setStatusTip(Prompt(c.id));
    action->setData(c.id);
    if (c.id == 3099) {
      action->setCheckable(true);
      action->setChecked(true);
    }
    connect(action, &QAction::triggered, this, [this, id = c.id] { RunCommand(id); });
    actions_[c.id] = action;
  }
}

void MainFrame::BuildToolbar() {
  QToolBar* bar = addToolBar("Symbolleiste");
  bar->setObjectName("toolbar");
  bar->setMovable(false);
  bar->setIconSize(QSize(24, 24));
  for (int id : ToolbarCommands()) {
    if (id == 0) {
      bar->addSeparator();
      continue;
    }
    QAction* action = ActionOf(id);
    if (!action) continue;
    action->setIcon(IconOf(id));
    bar->addAction(action);
  }
}

void MainFrame::BuildStatusBar() {
  for (const char* pane : {"CAP", "NUM", "SCRL"}) {
    auto* label = new QLabel(pane, this);
    label->setObjectName(pane);
    label->setEnabled(false);
    statusBar()->addPermanentWidget(label);
    lockPanes_.push_back(label);
  }
  statusBar()->showMessage("Bereit");
  // The lock keys can change in any window, also in other programs: look often.
  auto* timer = new QTimer(this);
  connect(timer, &QTimer::timeout, this, [this] {
    if (std::optional<LockKeys> keys = ReadLockKeys()) ShowLockKeys(*keys);
  });
  timer->start(250);
}

void MainFrame::ShowLockKeys(const LockKeys& keys) {
  const bool on[] = {keys.caps, keys.num, keys.scroll};
  for (std::size_t i = 0; i < lockPanes_.size() && i < 3; ++i) lockPanes_[i]->setEnabled(on[i]);
}

void MainFrame::SetHandler(int commandId, Handler handler) {
  handlers_[commandId] = std::move(handler);
  Refresh();
}

QAction* MainFrame::ActionOf(int commandId) const {
  auto it = actions_.find(commandId);
  return it == actions_.end() ? nullptr : it->second;
}

bool MainFrame::CommandEnabled(int commandId) const {
  const CommandInfo* c = FindCommand(commandId);
  return c && handlers_.count(commandId) && CommandAllowed(*c, ContextOf(CurrentShell()));
}

void MainFrame::RunCommand(int commandId) {
  // Commands of a later part of the program stay in the menu, disabled.
  if (!CommandEnabled(commandId)) return;
  const CommandInfo* c = FindCommand(commandId);
  ShellState& s = CurrentShell();
  long context;
  if (HelpContextOf(commandId, context)) s.helpContext = context;
  if (c->changesData) s.dataChanged = true;
  // Everything one command prints to the PDF file goes into one document.
  PrintRun printRun;
  int result = handlers_[commandId]();
  if (c->reportKind >= 0 && result >= 0) report_->ShowReport(c->reportKind, result);
  Refresh();
}

void MainFrame::Refresh() {
  for (auto& [id, action] : actions_) action->setEnabled(CommandEnabled(id));
  // A submenu none of whose entries can run is greyed as a whole.
  for (QMenu* submenu : submenus_) {
    bool any = false;
    for (QAction* entry : submenu->actions()) any = any || (!entry->isSeparator() && entry->isEnabled());
    submenu->setEnabled(any);
  }
  if (QAction* visible = ActionOf(3099)) visible->setChecked(CurrentShell().accountWindowsVisible);
  setWindowTitle(isMinimized() ? QString(kProductName)
                               : QString::fromStdString(WindowTitle(CurrentShell())));
}

void MainFrame::EnablePostingMenus(bool enable) {
  for (int i : {0, 2, 4, 5, 6, 7, 8})
    if (topMenus_[i]) topMenus_[i]->setEnabled(enable);
  CurrentShell().postingDialogOpen = !enable;
  Refresh();
}

void MainFrame::EnableOpenItemMenu(bool enable) {
  if (topMenus_[8]) topMenus_[8]->setEnabled(enable);
}

void MainFrame::PlaceReportWindow() {
  QWidget* central = centralWidget();
  int band = JournalBandVisible() ? JournalBandHeight(report_->LineHeight()) : 0;
  band_->setGeometry(0, 0, central->width(), band);
  band_->setVisible(band > 0);
  report_->setGeometry(-1, band - 1, central->width() + 2, central->height() - band + 2);
}

void MainFrame::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  PlaceReportWindow();
}

// Keys the frame gets go to the report window: scrolling, and Esc clears it.
// A key the report window leaves alone travels back up to the frame; it must
// not be handed down again, or the two pass it to and fro until the stack
// runs out. So the report window sees a key once: not when it had the focus
// (it has seen the key already), and never from inside this hand-over.
void MainFrame::keyPressEvent(QKeyEvent* event) {
  QWidget* focus = focusWidget();
  bool reportHadIt = focus && (focus == report_ || report_->isAncestorOf(focus));
  if (forwardingKey_ || reportHadIt) {
    QMainWindow::keyPressEvent(event);
    return;
  }
  forwardingKey_ = true;
  event->ignore();
  QApplication::sendEvent(report_, event);
  forwardingKey_ = false;
}

void MainFrame::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) Refresh();
}

bool MainFrame::ConfirmExit() {
  ShellState& s = CurrentShell();
  if (s.postingDialogOpen) {
    ShowMessage(kMessagePostingDialogOpen);
    return false;
  }
  if (s.databaseOpen && CurrentSettings().sFrage && s.dataChanged) {
    bool yes = ShowMessage(kMessageBackup);
    if (!yes && LastMessageResult() == kIdCancel) return false;
    if (yes && handlers_.count(kCommandBackup)) {
      handlers_[kCommandBackup]();
    } else if (yes && !ShowMessage(kMessageNoBackupYet)) {
      return false;  // no backup to run yet: the user stays rather than end unsaved
    }
  }
  return true;
}

void MainFrame::closeEvent(QCloseEvent* event) {
  if (!ConfirmExit()) {
    event->ignore();
    return;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != this && w->isVisible()) w->close();
  CloseAll();
  CurrentShell().databaseOpen = false;
  StopNotifier();
  QApplication::restoreOverrideCursor();
  event->accept();
}

KeyboardFilter::KeyboardFilter(MainFrame* frame, std::function<void(long)> help)
    : QObject(frame), frame_(frame), help_(std::move(help)) {}

bool KeyboardFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
  if (key->key() == Qt::Key_Plus && (key->modifiers() & Qt::KeypadModifier) && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() != frame_) {
    SendTab(watched);
    return true;
  }
  if (key->key() == Qt::Key_F1 && plain) {
    if (help_) help_(CurrentShell().helpContext);
    return true;
  }
  if (CurrentShell().currentMandant == 0) return QObject::eventFilter(watched, event);
  if (key->key() == Qt::Key_F4 && plain) {
    frame_->RunCommand(3099);
    return true;
  }
  // F5 to F8 open the account windows from every window, not only the frame.
  static const std::pair<int, int> accountKeys[] = {
      {Qt::Key_F5, 3091}, {Qt::Key_F6, 3092}, {Qt::Key_F7, 3093}, {Qt::Key_F8, 10002}};
  for (auto [keyCode, command] : accountKeys) {
    if (key->key() == keyCode && plain) {
      frame_->RunCommand(command);
      return true;
    }
  }
  if (key->key() == Qt::Key_F9 && plain) {
    frame_->activateWindow();
    frame_->raise();
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace talvera
