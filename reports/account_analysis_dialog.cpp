#include "reports/account_analysis_dialog.h"

#include <QChartView>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>
#include <vector>

#include "core/cp1252.h"
#include "core/message.h"
#include "reports/account_sheet.h"
#include "reports/print_report.h"
#include "reports/printer_dialogs.h"
#include "reports/report_kinds.h"
#include "reports/report_page.h"
#include "reports/report_state.h"
#include "reports/value_chart.h"

namespace talvera {
namespace {

constexpr int kMessageStillPrinting = 54;
constexpr int kMessageInUse = 719;

QString FromCp1252(const std::string& text) { return QString::fromStdString(Cp1252ToUtf8(text)); }

QString Trimmed(const std::string& number) {
  return QString::fromStdString(number).trimmed();
}

QPointer<AnaKontoDialog>& OpenDialog() {
  static QPointer<AnaKontoDialog> open;
  return open;
}

}  // namespace

AnaKontoDialog::AnaKontoDialog(QWidget* parent, const AccountAnalysis& analysis)
    : TalviDialog(parent, "ANA_KONTO", "Analyse"), analysis_(analysis) {
  setProperty("helpContext", 3091);
  setWindowTitle("Analyse Konto " + Trimmed(analysis.number) + " " + FromCp1252(analysis.name));
  table_ = Register(anakonto::kTable, new QTableWidget(13, 5, this));
  FillTable();
  BuildChart();
  auto* row = new QHBoxLayout;
  row->addWidget(table_);
  row->addWidget(chart_, 1);
  form_->addRow(row);
  auto* print = AddButton(anakonto::kPrint, "&Drucken");
  connect(print, &QPushButton::clicked, this, [this] { Print(); });
  auto* font = AddButton(anakonto::kFont, "Sch&rift...");
  connect(font, &QPushButton::clicked, this, [this] { ChooseReportFont(this, kReportAnalyse); });
  auto* box = new QDialogButtonBox(QDialogButtonBox::Close, this);
  box->button(QDialogButtonBox::Close)->setText("&Schließen");
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  outer_->addWidget(box);
}

void AnaKontoDialog::FillTable() {
  const AccountAnalysis& a = analysis_;
  table_->setHorizontalHeaderLabels({"Monat", "akt. Jahr " + QString::fromStdString(a.year),
                                     "Vorjahr " + QString::fromStdString(a.previousYear), "Differenz",
                                     "Veränderung"});
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  auto set = [this](int row, int column, const std::string& text) {
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    item->setTextAlignment(column == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
    table_->setItem(row, column, item);
  };
  long long sumCurrent = 0, sumPrevious = 0;
  for (int p = 0; p <= 12; ++p) {
    long long c = p < 12 ? a.current[p] : sumCurrent;
    long long v = p < 12 ? a.previous[p] : sumPrevious;
    if (p < 12) {
      sumCurrent += c;
      sumPrevious += v;
    }
    set(p, 0, p < 12 ? FiscalMonthName(p + 1) : "Gesamt:");
    set(p, 1, SignedAmountText(c));
    set(p, 2, a.hasPrevious ? SignedAmountText(v) : "");
    set(p, 3, SignedAmountText(c - v));
    set(p, 4, ChangeText(c, v));
  }
  table_->resizeColumnsToContents();
  table_->setMinimumWidth(table_->horizontalHeader()->length() + 4);
  table_->setMinimumHeight(table_->verticalHeader()->length() + table_->horizontalHeader()->height() + 4);
}

// Twelve pairs of bars, this year beside the year before, in euros.
void AnaKontoDialog::BuildChart() {
  const AccountAnalysis& a = analysis_;
  ChartData data;
  data.title = "Bewegung je Monat (Soll − Haben)";
  data.categories = FiscalMonthCategories();
  ChartSeries current{"akt. Jahr " + QString::fromStdString(a.year), {}, false};
  ChartSeries previous{"Vorjahr " + QString::fromStdString(a.previousYear), {}, false};
  for (int p = 0; p < 12; ++p) {
    current.values.push_back(a.current[p] / 100.0);
    previous.values.push_back(a.hasPrevious ? a.previous[p] / 100.0 : 0.0);
  }
  data.series = {current, previous};
  chart_ = Register(anakonto::kChart, BuildValueChart(data, this));
}

bool AnaKontoDialog::Print() {
  if (CurrentReport().printing) {
    ShowMessage(kMessageStillPrinting);
    return false;
  }
  if (!PreparePrintFont(kReportAnalyse, kAccountAnalysisWidth)) return false;
  int lines = BuildAccountAnalysisReport(analysis_, CurrentPrinterMetrics().linesPerPage);
  if (lines <= 0) return false;
  SetReportKind(kReportAnalyse);
  RequestPrint(lines);
  return PrintReport(this);
}

bool OpenAccountAnalysis(QWidget* parent, AccountKind kind, const std::string& number) {
  if (OpenDialog()) {
    ShowMessage(kMessageInUse, 0, "Analyse");
    return false;
  }
  AccountAnalysis analysis;
  if (!ComputeAccountAnalysis(kind, number, analysis)) return false;
  AnaKontoDialog dialog(parent, analysis);
  OpenDialog() = &dialog;
  dialog.exec();
  return true;
}

namespace gallery {

QDialog* SampleAccountAnalysis(QWidget* parent) {
  std::vector<SheetAccount> accounts;
  ListSheetAccounts(2, "", "", accounts);
  AccountAnalysis analysis;
  // The first Sachkonto that moved in the year.
  for (const SheetAccount& a : accounts) {
    if (!ComputeAccountAnalysis(a.kind, a.number, analysis)) continue;
    if (std::any_of(std::begin(analysis.current), std::end(analysis.current), [](long long c) { return c != 0; }))
      break;
  }
  return new AnaKontoDialog(parent, analysis);
}

}  // namespace gallery

}  // namespace talvera
