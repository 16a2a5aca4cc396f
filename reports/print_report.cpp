#include "reports/print_report.h"

#include <QPrinter>

#include <algorithm>
#include <memory>
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
// The first buffer line belongs to the screen only; printing starts after it.
constexpr int kFirstPrintedLine = 1;

// The job a print run keeps open for the PDF file, and the title of the
// report that opened it.
struct RunState {
  int depth = 0;
  std::unique_ptr<PrintJob> job;
  std::string title;
};

RunState& Run() {
  static RunState run;
  return run;
}

bool RunsIntoOneDocument() {
  QPrinter* printer = CurrentPrinter();
  return Run().depth > 0 && printer && printer->outputFormat() == QPrinter::PdfFormat;
}

bool Draws(std::string_view line) {
  unsigned char code = ReadLineHead(line).code;
  return code != kLineEmpty && code != kLinePageBreak && code != kLineNoCode;
}

// Pages the report will take: a page begins with the first line that draws
// something after a page break (or after a full page), so empty lines at a
// page end never open a blank page.
int PagesOf(const ReportBuffer& buffer, int lines, int linesPerPage) {
  int pages = 0;
  bool open = false;
  int row = 0;
  for (int i = kFirstPrintedLine; i < lines; ++i) {
    std::string_view line = buffer.Line(i);
    if (ReadLineHead(line).code == kLinePageBreak) {
      open = false;
      row = 0;
      continue;
    }
    if (Draws(line) && (!open || (linesPerPage > 0 && row >= linesPerPage))) {
      if (open) row = 0;
      open = true;
      ++pages;
    }
    ++row;
  }
  return std::max(1, pages);
}

// The job the pages go to: a new one, or the open one of a print run on the
// PDF file, which just goes on to a new page.
PrintJob* StartJob(QWidget* owner, int kind, int pages, std::unique_ptr<PrintJob>& own) {
  QString title = QString::fromStdString(std::string(ReportTitle(kind)));
  if (RunsIntoOneDocument() && Run().job) {
    if (!Run().job->NextPage()) return nullptr;
    return Run().job.get();
  }
  auto job = std::make_unique<PrintJob>(CurrentPrinter(), owner, "TALVI: " + title, title,
                                        QString::number(pages));
  bool started = job->Start();
  if (RunsIntoOneDocument()) {
    Run().job = std::move(job);
    Run().title = ReportTitle(kind);
    return started ? Run().job.get() : nullptr;
  }
  own = std::move(job);
  return started ? own.get() : nullptr;
}

bool PrintPages(QWidget* owner, int kind, int lines) {
  const ReportBuffer& buffer = TheReportBuffer();
  if (!SelectPrintFont(kind, buffer.Width())) return false;
  const PrinterMetrics& metrics = CurrentPrinterMetrics();
  ReportState& report = CurrentReport();
  StretchCurrentReport(metrics.lineWidth, false);

  LineGeometry geometry;
  geometry.font = PrintFont();
  geometry.charWidth = metrics.charWidth;
  geometry.lineHeight = metrics.lineHeight;
  geometry.width = report.displayWidth;
  geometry.leftChars = std::max(0, (metrics.lineWidth - report.displayWidth) / 2);
  geometry.tabs = &report.tabs;

  std::unique_ptr<PrintJob> own;
  PrintJob* job = StartJob(owner, kind, PagesOf(buffer, lines, metrics.linesPerPage), own);
  if (!job) return own ? own->Finish() : false;
  auto finish = [&] { return own ? own->Finish() : job->KeepGoing(); };
  job->Painter().setFont(geometry.font);
  LineRenderer renderer(job->Painter(), geometry);
  // The page the job started is open; later pages begin with their first
  // line that draws something, so trailing empty lines open no blank page.
  bool pageOpen = true;
  int row = 0;
  for (int i = kFirstPrintedLine; i < lines; ++i) {
    std::string_view line = buffer.Line(i);
    if (ReadLineHead(line).code == kLinePageBreak) {
      pageOpen = false;
      row = 0;
      continue;
    }
    if (!Draws(line)) {
      ++row;
      continue;
    }
    // A page the builder did not break in time ends at the page's last line
    // rather than running off the paper.
    bool pageFull = metrics.linesPerPage > 0 && row >= metrics.linesPerPage;
    if (!pageOpen || pageFull) {
      if (!job->NextPage()) return finish();
      job->Painter().setFont(geometry.font);
      renderer.ForgetPainterFont();
      if (pageOpen) row = 0;
      pageOpen = true;
    }
    renderer.Draw((row + kTopRows) * metrics.lineHeight, line);
    ++row;
  }
  return finish();
}

void WarnNotPrinted(std::string_view title) {
  ShowTextBox(std::string(title) + " konnte nicht gedruckt werden.", "TALVI",
              BoxStyle::kExclamationOk);
  OpenPrinter();
}

}  // namespace

PrintRun::PrintRun() { ++Run().depth; }

PrintRun::~PrintRun() {
  RunState& run = Run();
  if (--run.depth > 0 || !run.job) return;
  std::unique_ptr<PrintJob> job = std::move(run.job);
  if (!job->Finish()) WarnNotPrinted(run.title);
}

bool PreparePrintFont(int kind, int ownWidth) {
  if (SelectPrintFont(kind, ownWidth) &&
      CurrentPrinterMetrics().lineWidth >= ReportPrinterWidth(kind, ownWidth))
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
    // A failed run's document is lost with it; the run starts afresh.
    if (Run().job) Run().job.reset();
    WarnNotPrinted(ReportTitle(kind));
  }
  report.printing = false;
  ClearPrintRequest();
  SetReportKind(kReportNone);
  buffer.Clear();
  return printed;
}

}  // namespace talvera
