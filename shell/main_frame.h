// The main frame: menu, toolbar and status bar built from the command table,
// the report window in the middle, the journal's heading band above it, the
// window title, the keyboard handling above all windows and the exit.
#pragma once

#include <QMainWindow>

#include <functional>
#include <map>
#include <vector>

class QAction;
class QLabel;
class QMenu;

namespace talvera {

class ReportWindow;
struct LockKeys;

class MainFrame : public QMainWindow {
  Q_OBJECT

 public:
  MainFrame();
  ~MainFrame() override;

  // A command's work. For an evaluation it returns the report's line count
  // (below 0 when the dialog was cancelled); others return 0.
  using Handler = std::function<int()>;
  void SetHandler(int commandId, Handler handler);

  // Runs a command as the menu would: nothing when its rule forbids it.
  void RunCommand(int commandId);
  bool CommandEnabled(int commandId) const;
  QAction* ActionOf(int commandId) const;

  // Refreshes the enabling of every command and the title.
  void Refresh();
  // The posting dialog greys the menus Datei, Umsatzsteuer and GuV to
  // Offene Posten while it is open.
  void EnablePostingMenus(bool enable);
  void EnableOpenItemMenu(bool enable);

  ReportWindow* reportWindow() const { return report_; }
  // The CAP, NUM and SCRL panes show which lock keys are on.
  void ShowLockKeys(const LockKeys& keys);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildMenus();
  void BuildToolbar();
  void BuildStatusBar();
  void PlaceReportWindow();
  bool ConfirmExit();
  static QString ControlNameOfReport();

  ReportWindow* report_ = nullptr;
  QWidget* band_ = nullptr;  // the journal's heading band
  std::map<int, QAction*> actions_;
  std::map<int, Handler> handlers_;
  QMenu* topMenus_[10] = {};
  std::vector<QMenu*> submenus_;
  std::vector<QLabel*> lockPanes_;
  bool forwardingKey_ = false;  // a key is being handed to the report window
};

// Keys above all windows: numeric-pad "+" moves on like Tab, F1 asks for
// help, F4 shows or hides the account windows, F5 to F8 open them, F9 brings
// up the frame.
class KeyboardFilter : public QObject {
 public:
  explicit KeyboardFilter(MainFrame* frame, std::function<void(long)> help);

 public:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  MainFrame* frame_;
  std::function<void(long)> help_;
};

}  // namespace talvera
