// The account sheets on the screen and on the printer: "KTOBLA" chooses the
// accounts, the period and the output; "KBLIST" ("KONTOBLATT") shows one
// sheet at a time and browses by month and by account; "KBLINFO" counts
// the sheets while they print and stops them on "Abbrechen".
#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

#include "reports/account_sheet.h"
#include "reports/evaluation_dialog.h"

class QLabel;
class QPushButton;

namespace talvera {

class ReportWindow;

namespace ktobla {
enum : int {
  kFrom = 362,               // "vo&n:"
  kTo = 363,                 // "&bis:"
  kResolveCollective = 364,  // "Sammelbuchungen auf&lösen"
  kWithoutPostings = 365,    // "&ohne Buchungen"
  kCostCentres = 366,        // "mit &Kostenstellen" (printed)
};
}

namespace kblist {
enum : int {
  kPreviousMonth = 401,  // "&Voriger Monat"
  kNextMonth = 402,      // "&Nächster Monat"
  kNextAccount = 403,    // "Nächstes K&onto"
  kLastAccount = 404,    // "Letztes &Konto"
  kHeading = 405,        // the two column-heading lines
  kAccount = 406,        // kind, number, name and period of the sheet shown
};
}

// KBLIST: the sheets of the chosen accounts, one at a time, in its own
// report window.
class SheetBrowserDialog : public QDialog {
  Q_OBJECT

 public:
  SheetBrowserDialog(QWidget* parent, std::vector<SheetAccount> accounts, AccountSheetOptions options);
  ~SheetBrowserDialog() override;

  // Shows the first account that has a sheet: false when none has one, or
  // when a sheet could not be built (`failed`).
  bool Start(bool& failed);

  // The buttons' work; false when there is nothing to move to.
  bool MoveMonth(int step);
  bool MoveAccount(int step);

  const SheetAccount& Account() const { return accounts_[current_]; }
  const AccountSheetOptions& Options() const { return options_; }
  QString AccountText() const;
  ReportWindow* Window() const { return window_; }

 private:
  // Builds and shows the sheet of account `index`; 0 when it has none.
  int Show(int index, bool evenEmpty);
  void UpdateButtons();

  std::vector<SheetAccount> accounts_;
  AccountSheetOptions options_;
  int current_ = 0;
  ReportWindow* window_;
  QWidget* heading_;
  QLabel* account_;
  QPushButton* buttons_[4];
};

// KBLINFO: the number of sheets and the one being printed.
class SheetProgressDialog : public QDialog {
  Q_OBJECT

 public:
  SheetProgressDialog(QWidget* parent, int total);
  // Shows sheet `sheet` and lets the button be pressed; false once the
  // user pressed "Abbrechen".
  bool Advance(int sheet);
  bool Stopped() const { return stopped_; }

 private:
  QLabel* current_;
  bool stopped_ = false;
};

class KtoBlaDialog : public EvaluationDialog {
  Q_OBJECT

 public:
  explicit KtoBlaDialog(QWidget* parent);

  // How the browser is run: modally by default; tests drive it instead.
  std::function<void(SheetBrowserDialog&)> runBrowser;

 protected:
  bool Confirm() override;

 private:
  bool ReadAccountRange(std::string& from, std::string& to);
  bool ShowOnScreen(const std::vector<SheetAccount>& accounts, const AccountSheetOptions& o);
  bool Print(const std::vector<SheetAccount>& accounts, const AccountSheetOptions& o);
};

namespace gallery {
QDialog* SampleKtoBlaDialog(QWidget* parent);
// The browser on the sample Mandant's first Sachkonto with postings.
QDialog* SampleSheetBrowser(QWidget* parent);
QDialog* SampleSheetProgress(QWidget* parent);
}  // namespace gallery

}  // namespace talvera
