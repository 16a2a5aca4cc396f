#include "reports/print_list_box.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListWidget>
#include <QPrinter>

#include <algorithm>
#include <vector>

#include "core/message.h"
#include "reports/list_print_layout.h"
#include "reports/print_job.h"
#include "reports/printer.h"
#include "reports/report_kinds.h"
#include "reports/report_state.h"

namespace talvera {
namespace {

constexpr int kMessageFontTooLarge = 49;
constexpr int kMessagePrinting = 54;
constexpr int kMessageNotNow = 524;
constexpr int kMessageListEmpty = 734;
constexpr int kMessageListNotPrinted = 735;
constexpr int kMaxTabStops = 20;
constexpr int kDefaultTabStop = 8;
// Printed lists are set half as wide again as the screen shows them.
constexpr double kListScale = 1.5;
constexpr int kHeaderRow = 1;

std::function<std::optional<ListPrintHeader>()>& HeaderSource() {
  static std::function<std::optional<ListPrintHeader>()> source;
  return source;
}

std::vector<double> ColumnStarts(QListWidget* list, double screenCharWidth) {
  std::vector<double> starts{0};
  if (auto* header = qobject_cast<QHeaderView*>(list->property(kColumnHeaderProperty).value<QObject*>())) {
    for (int i = 1; i < header->count(); ++i)
      starts.push_back(header->sectionPosition(header->logicalIndex(i)) / screenCharWidth);
    return starts;
  }
  QVariantList stops = list->property(kTabStopsProperty).toList();
  for (int i = 0; i < std::min<int>(kMaxTabStops, stops.size()); ++i)
    starts.push_back(stops[i].toDouble());
  if (stops.isEmpty())
    for (int i = 1; i <= kMaxTabStops; ++i) starts.push_back(i * kDefaultTabStop);
  return starts;
}

std::vector<int> EntryRows(QListWidget* list) {
  int base = std::max(1, list->sizeHintForRow(0));
  std::vector<int> rows;
  for (int i = 0; i < list->count(); ++i) {
    int height = list->item(i)->sizeHint().height();
    rows.push_back(height > 0 ? std::max(1, height / base) : 1);
  }
  return rows;
}

struct ListPage {
  QPainter& painter;
  const PrinterMetrics& m;
  double columnWidth;  // device units
};

void DrawPageHeader(const ListPage& p, int page, const ListPrintHeader& header,
                    const QString& caption) {
  QFontMetricsF metrics(p.painter.font(), p.painter.device());
  double y = kHeaderRow * p.m.lineHeight + metrics.ascent();
  double right = p.m.lineWidth * p.m.charWidth;
  QString pageText = QString("Seite: %1").arg(page);
  QString middle = "Dialog: " + caption + " vom " + QString::fromStdString(header.postingDate);
  p.painter.drawText(QPointF(0, y), "Firma: " + QString::fromStdString(header.firm));
  p.painter.drawText(QPointF((right - metrics.horizontalAdvance(middle)) / 2, y), middle);
  p.painter.drawText(QPointF(right - metrics.horizontalAdvance(pageText), y), pageText);
}

void DrawEntry(const ListPage& p, const ListSlot& slot, const QString& text,
               const std::vector<double>& starts) {
  QFontMetricsF metrics(p.painter.font(), p.painter.device());
  double left = slot.column * p.columnWidth;
  double y = slot.row * p.m.lineHeight + metrics.ascent();
  QStringList parts = text.split('\t');
  for (int k = 0; k < parts.size(); ++k) {
    double start = k < static_cast<int>(starts.size()) ? starts[k] : starts.back();
    p.painter.drawText(QPointF(left + start * kListScale * p.m.charWidth, y), parts[k]);
  }
}

bool PrintEntries(QWidget* dialog, QListWidget* list, const ListPrintHeader& header,
                  const std::vector<double>& starts, double columnChars) {
  const PrinterMetrics& m = CurrentPrinterMetrics();
  int columnsPerPage = std::max(1, static_cast<int>(m.lineWidth / columnChars));
  std::vector<ListSlot> placed = PlaceListEntries(EntryRows(list), m.linesPerPage, columnsPerPage);
  QString caption = dialog ? dialog->windowTitle() : QString();
  PrintJob job(CurrentPrinter(), dialog, "TALVI: Liste", "Listenausdruck", "?");
  if (!job.Start()) return job.Finish();
  ListPage page{job.Painter(), m, columnChars * m.charWidth};
  page.painter.setFont(PrintFont());
  DrawPageHeader(page, 1, header, caption);
  for (int i = 0; i < list->count(); ++i) {
    if (placed[i].page + 1 > job.Page()) {
      if (!job.NextPage()) return job.Finish();
      page.painter.setFont(PrintFont());
      DrawPageHeader(page, job.Page(), header, caption);
    }
    DrawEntry(page, placed[i], list->item(i)->text(), starts);
  }
  return job.Finish();
}

class ListPrintKey : public QObject {
 public:
  explicit ListPrintKey(QObject* parent) : QObject(parent) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F2) {
      if (auto* list = qobject_cast<QListWidget*>(watched)) {
        PrintListBox(list->window(), list);
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

void SetListPrintHeaderSource(std::function<std::optional<ListPrintHeader>()> source) {
  HeaderSource() = std::move(source);
}

bool PrintListBox(QWidget* dialog, QListWidget* list) {
  if (list->count() == 0) return ShowMessage(kMessageListEmpty), false;
  ReportState& report = CurrentReport();
  if (report.printing) return ShowMessage(kMessagePrinting), false;
  std::optional<ListPrintHeader> header = HeaderSource() ? HeaderSource()() : std::nullopt;
  if (!header) return ShowMessage(kMessageNotNow), false;
  if (!SelectPrintFont(kReportListBox)) return ShowMessage(kMessageListNotPrinted), false;

  double screenCharWidth = std::max(1.0, QFontMetricsF(list->font(), list).averageCharWidth());
  std::vector<double> starts = ColumnStarts(list, screenCharWidth);
  double columnChars = list->viewport()->width() / screenCharWidth * kListScale;
  if (CurrentPrinterMetrics().lineWidth < columnChars)
    return ShowMessage(kMessageFontTooLarge), false;

  report.printing = true;
  bool printed = PrintEntries(dialog, list, *header, starts, columnChars);
  report.printing = false;
  if (!printed) {
    ShowMessage(kMessageListNotPrinted);
    OpenPrinter();
  }
  return printed;
}

void InstallListBoxPrinting(QObject* target) { target->installEventFilter(new ListPrintKey(target)); }

}  // namespace talvera
