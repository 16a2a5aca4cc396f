// "ANA_KONTO": the analysis of one account on the screen, its twelve
// periods of this year and the year before as a table and, beside it, as a
// bar chart; "&Drucken" prints the table as a report of kind 12.
#pragma once

#include <string>

#include "reports/account_analysis.h"
#include "widgets/dialog_kit.h"

class QTableWidget;
class QWidget;

namespace talvera {

namespace anakonto {
enum : int { kTable = 101, kChart = 102, kPrint = 103, kFont = 152 };
}

class AnaKontoDialog : public TalviDialog {
  Q_OBJECT

 public:
  AnaKontoDialog(QWidget* parent, const AccountAnalysis& analysis);

  // "&Drucken": 54 while a print job runs, 49 when the print font is too wide.
  bool Print();
  QTableWidget* Table() const { return table_; }
  // The bar chart: its sets in order, "akt. Jahr ..." and "Vorjahr ...".
  QWidget* Chart() const { return chart_; }

 protected:
  bool Confirm() override { return true; }

 private:
  void FillTable();
  void BuildChart();

  AccountAnalysis analysis_;
  QTableWidget* table_;
  QWidget* chart_;
};

// What the account windows call for "&Analyse...": reads the account of the
// kind (2, 4, 8) and shows its analysis modally. The dialog exists once:
// while it is open, message 719 names it ("Analyse"). False when it was not
// shown.
bool OpenAccountAnalysis(QWidget* parent, AccountKind kind, const std::string& number);

namespace gallery {
QDialog* SampleAccountAnalysis(QWidget* parent);
}

}  // namespace talvera
