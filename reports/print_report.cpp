#include "reports/print_report.h"

#include <QPrinter>

#include <algorithm>
#include <string>

#include "core/message.h"
#include "reports/line_renderer.h"
#include "reports/print_job.h"
#include "reports/printer.h"
#include "reports/report_buffer.h"
#include "reports/report_kinds.h"
#include "reports/report_state.h"

namespace talvera {
namespace {

constexpr int kMessageFontTooLarge = 49;
// Rows above the first printed line of a page.
constexpr int kTopRows = 3;

// Pages the report will take: one per page break, and one for lines after the last.
int PagesOf(const ReportBuffer& buffer, int lines) {
  int pages = 0;
  bool open = false;
  for (int i = 0; i < lines; ++i) {
    bool pageBreak = ReadLineHead(buffer.Line(i)).code == kLinePageBreak;
    pages += pageBreak ? 1 : 0;
    open = !pageBreak;
  }
  return std::max(1, pages + (open ? 1 : 0));
}

bool PrintPages(QWidget* owner, int kind, int lines) {
  if (!SelectPrintFont(kind)) return false;
  const PrinterMetrics& metrics = CurrentPrinterMetrics();
  ReportState& report = CurrentReport();
  StretchCurrentReport(metrics.lineWidth, false);
  const ReportBuffer& buffer = TheReportBuffer();

  LineGeometry geometry;
  geometry.font = PrintFont();
  geometry.charWidth = metrics.charWidth;
  geometry.lineHeight = metrics.lineHeight;
  geometry.width = report.displayWidth;
  geometry.leftChars = std::max(0, (metrics.lineWidth - report.displayWidth) / 2);
  geometry.tabs = &report.tabs;

  QString title = QString::fromStdString(std::string(ReportTitle(kind)));
  PrintJob job(CurrentPrinter(), owner, "TALVI: " + title, title,
               QString::number(PagesOf(buffer, lines)));
  if (!job.Start()) return job.Finish();
  job.Painter().setFont(geometry.font);
  bool pageOpen = true;
  int row = 0;
  for (int i = 0; i < lines; ++i) {
    std::string_view line = buffer.Line(i);
    bool pageBreak = ReadLineHead(line).code == kLinePageBreak;
    // A page the builder did not break in time ends at the page's last line
    // rather than running off the paper.
    bool pageFull = metrics.linesPerPage > 0 && row >= metrics.linesPerPage;
    if ((!pageOpen && !pageBreak) || (pageOpen && pageFull && !pageBreak)) {
      if (!job.NextPage()) return job.Finish();
      job.Painter().setFont(geometry.font);
      pageOpen = true;
      row = 0;
    }
    if (pageBreak) {
      pageOpen = false;
      continue;
    }
    RenderLine(job.Painter(), geometry, (row + kTopRows) * metrics.lineHeight, line);
    ++row;
  }
  return job.Finish();
}

}  // namespace

bool PreparePrintFont(int kind) {
  if (SelectPrintFont(kind) && CurrentPrinterMetrics().lineWidth >= ReportPrinterWidth(kind))
    return true;
  ShowMessage(kMessageFontTooLarge);
  return false;
}

bool PrintReport(QWidget* owner) {
  ReportState& report = CurrentReport();
  ReportBuffer& buffer = TheReportBuffer();
  int kind = report.kind;
  int lines = std::min(report.printLines, buffer.LineCount());
  report.printing = true;
  bool printed = PrintPages(owner, kind, lines);
  if (!printed) {
    ShowTextBox(std::string(ReportTitle(kind)) + " konnte nicht gedruckt werden.", "TALVI",
                BoxStyle::kExclamationOk);
    OpenPrinter();
  }
  report.printing = false;
  ClearPrintRequest();
  SetReportKind(kReportNone);
  buffer.Clear();
  return printed;
}

}  // namespace talvera
