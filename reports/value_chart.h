// Charts of account values: bars for values per period or group, lines for
// cumulated values, over one category axis. The account analysis shows one
// beside its table; the BWA and the side analysis show theirs in the chart
// window "GRAFIK", which prints them and saves them as PNG or PDF.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

#include "widgets/dialog_kit.h"

class QChartView;

namespace talvera {

struct ChartSeries {
  QString name;
  std::vector<double> values;  // one per category, in euros
  bool line = false;           // a line (cumulated values) instead of bars
};

struct ChartData {
  QString title;
  QStringList categories;
  std::vector<ChartSeries> series;
};

QChartView* BuildValueChart(const ChartData& data, QWidget* parent);

// The twelve month names of the open Mandant's fiscal year, shortened.
QStringList FiscalMonthCategories();

namespace grafik {
enum : int { kChart = 101, kPrint = 102, kSavePng = 103, kSavePdf = 104 };
}

class ChartWindow : public TalviDialog {
  Q_OBJECT

 public:
  ChartWindow(QWidget* parent, const ChartData& data);

  QChartView* View() const { return view_; }
  // The chart as it is shown, into a PNG file or onto a PDF page.
  bool SavePng(const QString& path) const;
  bool SavePdf(const QString& path) const;
  // On the current printer, one page; 54 while a print job runs.
  bool Print();

 protected:
  bool Confirm() override { return true; }

 private:
  QChartView* view_;
};

}  // namespace talvera
