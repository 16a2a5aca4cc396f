// The period and output part of an evaluation dialog: the year, the months,
// quarters and the whole year, and the output (screen, printer, form) with
// the print-font button. Its controls carry the ids the dialogs share, so
// the dialog that holds the panel finds them as its own.
#pragma once

#include <QWidget>

class QButtonGroup;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace talvera {

namespace period_panel {
enum : int {
  kScreen = 160, kYear = 161, kPrinter = 164, kForm = 165, kFont = 126,
  kFirstMonth = 170,    // 170..181 January..December
  kFirstQuarter = 182,  // 182..185
  kWholeYear = 186,
};
}

class EvaluationPeriodPanel : public QWidget {
  Q_OBJECT
 public:
  enum Output { kScreen, kPrinter, kForm };

  // `reportKind`: the kind whose print font "Sch&rift..." chooses.
  EvaluationPeriodPanel(QWidget* parent, int reportKind, bool withFormOutput);

  // 1..12 a month, 13..16 a quarter, 17 the year.
  int Choice() const;
  void SetChoice(int choice);
  Output SelectedOutput() const;
  // Disables an output; a disabled choice falls back to the screen.
  void EnableOutput(Output output, bool enabled);

 private:
  void ChoiceClicked(int choice);
  void UpdateFontButton();

  int reportKind_;
  QLineEdit* year_;
  QButtonGroup* periods_;
  QRadioButton* screen_;
  QRadioButton* printer_;
  QRadioButton* form_ = nullptr;
  QPushButton* font_;
};

}  // namespace talvera
