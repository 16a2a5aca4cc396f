// What every evaluation dialog shares, built once: the account-kind check
// boxes, the sort order, the period radios with "Tagesgenau" and the year
// field (started from the shared period memory, "SetzeJahr" applied), the
// output "Bildschirm" / "Drucker" with "Sch&rift...", the checks OK makes
// before a report is built (54 while printing, the print font, 49) and the
// hand-over of the built report to the shell.
//
// A dialog derives from EvaluationDialog, adds the pieces it needs in its
// constructor, and in Confirm() reads its input, calls CheckOutput(), builds
// its report with LinesPerPage() and ends with Finish(lines). The shell runs
// it with RunEvaluation(), which returns the number of lines to show or to
// print, or -1 when the user cancelled.
#pragma once

#include "core/period_date.h"
#include "reports/evaluation_period.h"
#include "widgets/dialog_kit.h"

class QGridLayout;

namespace talvera {

namespace evalids {
enum : int {
  kSachkonten = 353,
  kKreditoren = 354,
  kDebitoren = 355,
  kByNumber = 356,  // "Konto-Nr."
  kByShortCode = 357,  // "Kürzel"
  kByGroup = 358,   // "Gruppe"
  kScreen = 150,    // "Bildschirm"
  kPrinter = 151,   // "Drucker"
  kFont = 152,      // "Sch&rift..."
};
}

class EvaluationDialog : public TalviDialog {
  Q_OBJECT

 public:
  // `kind` is the report kind the dialog builds (its print font and width).
  EvaluationDialog(QWidget* parent, const QString& name, const QString& title, int kind);
  ~EvaluationDialog() override;

  // Lines of the built report after OK.
  int Lines() const { return lines_; }

 protected:
  // Sachkonten (checked), Kreditoren, Debitoren.
  void AddKindChecks();
  unsigned ChosenKinds() const;  // bits 2, 4, 8
  // Message 5 on the first check box when no kind is chosen.
  bool CheckKinds() const;
  // "Konto-Nr." / "Kürzel" preselected by "SortKnr", and "Gruppe" when asked.
  void AddOrderRadios(bool withGroup);
  // The period radios, the year field and, with "Tagesgenau", its two dates.
  void AddPeriodChoice(bool withTagesgenau);
  int ChosenPeriodRadio() const;
  // Reads and checks the period (ReadPeriod); remembers it for every
  // evaluation dialog when it passes.
  bool ReadChosenPeriod(char* first, char* last);
  // "Aus&gabe": "Bildschirm" (checked), "Drucker" (disabled without a
  // printer), "Sch&rift..." for the kind's print font (only with "Drucker"
  // when `fontOnlyForPrinter`).
  void AddOutputChoice(bool fontOnlyForPrinter = false);
  bool ToPrinter() const;
  // 54 while a print job runs; with "Drucker" the print font of the kind
  // for a report `ownWidth` wide (0: the kind's width), 49 when too wide.
  bool CheckOutput(int ownWidth = 0) const;
  // The printer's lines per page with "Drucker", 0 on the screen.
  int LinesPerPage() const;
  // Keeps the number of lines and, with "Drucker", asks the shell to print them.
  void Finish(int lines);

  int kind_;

 private:
  void ApplySetzeJahr(int radio);

  int lines_ = 0;
  std::string yearBefore_;  // the working year when the dialog opened
};

// Runs an evaluation dialog modally: its number of lines, -1 when cancelled.
int RunEvaluation(EvaluationDialog& dialog);

}  // namespace talvera
