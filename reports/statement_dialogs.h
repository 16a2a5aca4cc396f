// The dialogs of the P&L statement and the balance sheet: "GUVAKT" (per a
// date), "GUVPER" (for a period), "BILAKT" (per a date), "BILPER" (for a
// period) and "BILERO" (the opening balance sheet). Each reads its choices
// into StatementOptions and builds the report for the shell to show or print
// (RunEvaluation).
#pragma once

#include <functional>
#include <string>

#include "reports/evaluation_dialog.h"
#include "reports/statement_report.h"

namespace talvera {

namespace statementids {
enum : int {
  kDate = 160,             // "&Per :"
  kYear = 161,             // "&Für das Jahr :"
  kNoEvaluation = 301,     // "Ohne"
  kDevelopment = 302,      // "Kontenentwicklung"
  kStructure = 303,        // "Kontenstruktur"
  kComparison = 304,       // "Vorjahresvergleich"
  kMonthValues = 305,      // "Monatswerte"
  kYearValues = 306,       // "Jahreswerte"
  kDepth1 = 311,           // "Ebene &1"; 312, 313
  kNoAccounts = 314,       // "ohne Konten"
  kPostedAccounts = 315,   // "mit bebuchten Konten"
  kAllAccounts = 316,      // "mit allen Konten"
};
}

// What the statement dialogs share: the evaluation radios, the depth and
// the accounts choice (accounts only at depth 3), and the build with its
// failure message.
class StatementDialog : public EvaluationDialog {
  Q_OBJECT

 public:
  StatementDialog(QWidget* parent, const QString& name, const QString& title, int kind, int failureMessage);

  // The options read at the last OK.
  const StatementOptions& Options() const { return options_; }

 protected:
  void AddEvaluationChoice(bool withComparison);
  void AddDepthChoice();
  // Evaluation, depth and accounts into options_.
  void ReadCommonChoices();
  // The print font for the statement's width, the build, and on failure
  // the dialog's message. True when a report was built.
  bool BuildAndFinish(bool balanceSheet);

  StatementOptions options_;

 private:
  int failureMessage_;
};

class GuvAktDialog : public StatementDialog {
  Q_OBJECT
 public:
  explicit GuvAktDialog(QWidget* parent);

 protected:
  bool Confirm() override;
};

class GuvPerDialog : public StatementDialog {
  Q_OBJECT
 public:
  explicit GuvPerDialog(QWidget* parent);

 protected:
  bool Confirm() override;
};

// The balance-sheet dialogs: before the build, every account on the
// unexpected side without a place on the other side brings question 204;
// Yes opens the editor of the other side's alternative places and checks
// again, No keeps the account where it is, with a minus sign.
class BalanceSheetDialog : public StatementDialog {
  Q_OBJECT
 public:
  using StatementDialog::StatementDialog;

  // What Yes to question 204 calls: the alternative editor for the account
  // of class 2 or 4. Tests replace it.
  using AlternativePlacer = std::function<void(QWidget* parent, int accountClass, const std::string& account)>;
  static void SetAlternativePlacer(AlternativePlacer placer);

 protected:
  // False when the store failed.
  bool PlaceMisplacedAccounts();
};

class BilAktDialog : public BalanceSheetDialog {
  Q_OBJECT
 public:
  explicit BilAktDialog(QWidget* parent);

 protected:
  bool Confirm() override;
};

class BilPerDialog : public BalanceSheetDialog {
  Q_OBJECT
 public:
  explicit BilPerDialog(QWidget* parent);

 protected:
  bool Confirm() override;
};

class BilEroDialog : public BalanceSheetDialog {
  Q_OBJECT
 public:
  explicit BilEroDialog(QWidget* parent);

 protected:
  bool Confirm() override;
};

namespace gallery {
QDialog* SampleGuvAktDialog(QWidget* parent);
QDialog* SampleGuvPerDialog(QWidget* parent);
QDialog* SampleBilAktDialog(QWidget* parent);
QDialog* SampleBilPerDialog(QWidget* parent);
QDialog* SampleBilEroDialog(QWidget* parent);
}  // namespace gallery

}  // namespace talvera
