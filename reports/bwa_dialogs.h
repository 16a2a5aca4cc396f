// "BWA": two entries of the structure trees compared month by month, and
// "ANALYSE": a side's groups this year against the year before. Each gives
// a text report of kind 12 for the shell or, with "Grafik", the same
// figures in the chart window.
#pragma once

#include <optional>

#include "reports/bwa_report.h"
#include "reports/evaluation_dialog.h"
#include "reports/value_chart.h"

namespace talvera {

namespace bwa {
// The controls of the first side; the second side's are 100 higher.
enum : int {
  kClass = 201,       // "&Klasse"
  kDepth = 202,       // "&Darstellungstiefe"
  kWithAccounts = 203,  // "mit Konten"
  kEntries = 204,     // "&Zugeordnete Einträge :"
  kCumulative = 205,  // "ku&muliert"
  kWhole = 206,       // "&gesamt"
  kSecondSide = 100,
  kYear = 161,        // "Geschäfts&jahr:"
  kText = 401,        // "Text"
  kChart = 402,       // "Grafik"
};
}

// The dialogs that may end in a chart instead of a report.
class ChartingDialog : public EvaluationDialog {
  Q_OBJECT
 public:
  using EvaluationDialog::EvaluationDialog;
  // After OK with "Grafik": the chart to show.
  const std::optional<ChartData>& Chart() const { return chart_; }

 protected:
  // "Dar&stellung": "Text" (preset) or "Grafik".
  void AddPresentationChoice();
  bool ChartChosen() const;

  std::optional<ChartData> chart_;
};

class BwaDialog : public ChartingDialog {
  Q_OBJECT
 public:
  // `command` 2088..2091 presets the classes of the two sides.
  BwaDialog(QWidget* parent, int command);

  // The entry shown in row `row` of a side's list (0 or 1), -1 for none.
  int EntryOfRow(int side, int row) const;
  // Selects a side's entry by its name (the trimmed list text).
  bool SelectEntry(int side, const QString& text);

 protected:
  bool Confirm() override;

 private:
  void AddSide(int side, StructureKind kind);
  void FillSide(int side);
  void UpdateCaption();
  StructureKind KindOf(int side) const;
  bool ReadSide(int side, BwaSide& out);

  StructureTree trees_[2];
};

class AnalyseDialog : public ChartingDialog {
  Q_OBJECT
 public:
  // `command` 2094 the P&L, 2093 the assets, 2092 the liabilities.
  AnalyseDialog(QWidget* parent, int command);

 protected:
  bool Confirm() override;

 private:
  StructureKind kind_;
};

// What the shell calls for 2088..2094: the dialog, then the chart window
// when "Grafik" was chosen. The number of report lines to show, -1 for none.
int RunBwa(QWidget* parent, int command);
int RunAnalyse(QWidget* parent, int command);

namespace gallery {
QDialog* SampleBwaDialog(QWidget* parent);
QDialog* SampleAnalyseDialog(QWidget* parent);
QDialog* SampleChartWindow(QWidget* parent);
}  // namespace gallery

}  // namespace talvera
