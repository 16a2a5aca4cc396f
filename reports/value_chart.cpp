#include "reports/value_chart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLineSeries>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPushButton>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

#include "core/message.h"
#include "reports/print_job.h"
#include "reports/printer.h"
#include "reports/report_page.h"
#include "reports/report_state.h"

namespace talvera {
namespace {

constexpr int kMessageStillPrinting = 54;

// Each series its own colour, bars and lines alike, in the order given.
QColor SeriesColour(std::size_t index) {
  static const QColor colours[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xe6, 0x7e, 0x22), QColor(0x2c, 0xa0, 0x2c),
                                   QColor(0xc0, 0x39, 0x2b)};
  return colours[index % std::size(colours)];
}

// The chart drawn into `target` at the size of the page or image.
void RenderChart(QChartView* view, QPainter& painter, const QRectF& target) {
  view->render(&painter, target, view->viewport()->rect());
}

}  // namespace

QStringList FiscalMonthCategories() {
  QStringList months;
  for (int p = 1; p <= 12; ++p) months << QString::fromStdString(FiscalMonthName(p)).left(3);
  return months;
}

QChartView* BuildValueChart(const ChartData& data, QWidget* parent) {
  auto* chart = new QChart;
  chart->setTitle(data.title);
  auto* x = new QBarCategoryAxis;
  x->append(data.categories);
  QFont small = x->labelsFont();
  small.setPointSizeF(small.pointSizeF() * 0.8);
  x->setLabelsFont(small);
  chart->addAxis(x, Qt::AlignBottom);
  auto* y = new QValueAxis;
  y->setLabelFormat("%.0f");
  chart->addAxis(y, Qt::AlignLeft);

  double low = 0, high = 0;
  for (const ChartSeries& s : data.series)
    for (double v : s.values) {
      low = std::min(low, v);
      high = std::max(high, v);
    }
  // Bars first, so the lines of cumulated values are drawn over them.
  QBarSeries* bars = nullptr;
  for (std::size_t index = 0; index < data.series.size(); ++index) {
    const ChartSeries& s = data.series[index];
    if (s.line) continue;
    if (!bars) {
      bars = new QBarSeries;
      chart->addSeries(bars);
      bars->attachAxis(x);
      bars->attachAxis(y);
    }
    auto* set = new QBarSet(s.name);
    set->setColor(SeriesColour(index));
    set->setBorderColor(SeriesColour(index).darker(120));
    for (double v : s.values) *set << v;
    bars->append(set);
  }
  for (std::size_t index = 0; index < data.series.size(); ++index) {
    const ChartSeries& s = data.series[index];
    if (!s.line) continue;
    auto* line = new QLineSeries;
    line->setName(s.name);
    QPen pen(SeriesColour(index));
    pen.setWidth(3);
    line->setPen(pen);
    line->setPointsVisible(true);
    for (std::size_t i = 0; i < s.values.size(); ++i) line->append(static_cast<double>(i), s.values[i]);
    chart->addSeries(line);
    line->attachAxis(x);
    line->attachAxis(y);
  }
  y->setRange(low, high > low ? high : low + 1);
  y->applyNiceNumbers();
  chart->legend()->setAlignment(Qt::AlignBottom);
  auto* view = new QChartView(chart, parent);
  view->setRenderHint(QPainter::Antialiasing);
  view->setMinimumSize(620, 360);
  return view;
}

ChartWindow::ChartWindow(QWidget* parent, const ChartData& data)
    : TalviDialog(parent, "GRAFIK", "Grafik") {
  setWindowTitle(data.title);
  view_ = Register(grafik::kChart, BuildValueChart(data, this));
  form_->addRow(view_);
  connect(AddButton(grafik::kPrint, "&Drucken"), &QPushButton::clicked, this, [this] { Print(); });
  connect(AddButton(grafik::kSavePng, "Als &PNG speichern..."), &QPushButton::clicked, this, [this] {
    QString path = QFileDialog::getSaveFileName(this, "Grafik als PNG speichern", "grafik.png", "PNG (*.png)");
    if (!path.isEmpty()) SavePng(path);
  });
  connect(AddButton(grafik::kSavePdf, "Als P&DF speichern..."), &QPushButton::clicked, this, [this] {
    QString path = QFileDialog::getSaveFileName(this, "Grafik als PDF speichern", "grafik.pdf", "PDF (*.pdf)");
    if (!path.isEmpty()) SavePdf(path);
  });
  auto* box = new QDialogButtonBox(QDialogButtonBox::Close, this);
  box->button(QDialogButtonBox::Close)->setText("&Schließen");
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  outer_->addWidget(box);
}

bool ChartWindow::SavePng(const QString& path) const {
  QSize size = view_->size().expandedTo(view_->minimumSize());
  QImage image(size, QImage::Format_ARGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  RenderChart(view_, painter, QRectF(QPointF(0, 0), size));
  painter.end();
  return image.save(path, "PNG");
}

bool ChartWindow::SavePdf(const QString& path) const {
  QPdfWriter writer(path);
  writer.setPageOrientation(QPageLayout::Landscape);
  writer.setTitle(windowTitle());
  QPainter painter;
  if (!painter.begin(&writer)) return false;
  RenderChart(view_, painter, QRectF(QPointF(0, 0), QSizeF(writer.width(), writer.height())));
  return painter.end();
}

bool ChartWindow::Print() {
  if (CurrentReport().printing) {
    ShowMessage(kMessageStillPrinting);
    return false;
  }
  QPrinter* printer = CurrentPrinter();
  if (!printer) return false;
  printer->setPageOrientation(QPageLayout::Landscape);
  PrintJob job(printer, this, windowTitle(), "Grafik", "1");
  if (!job.Start()) return false;
  QRect page = printer->pageLayout().paintRectPixels(printer->resolution());
  RenderChart(view_, job.Painter(), QRectF(QPointF(0, 0), QSizeF(page.width(), page.height())));
  bool ok = job.Finish();
  printer->setPageOrientation(QPageLayout::Portrait);
  return ok;
}

}  // namespace talvera
