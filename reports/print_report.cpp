#include "reports/print_report.h"

#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/message.h"
#include "reports/line_renderer.h"
#include "reports/page_thread.h"
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

void WarnNotPrinted(std::string_view title) {
  ShowTextBox(std::string(title) + " konnte nicht gedruckt werden.", "TALVI",
              BoxStyle::kExclamationOk);
  OpenPrinter();
}

// A report of a run could not be printed: the run's document is lost with
// it, the run starts afresh, and the warning names the report.
void DropRunDocument(std::string_view title) {
  Run().job.reset();
  WarnNotPrinted(title);
}

// What painting a report's pages needs, worked out from the program's
// state before they are painted, so that they can be painted by another
// thread while the next report is built.
struct PagePlan {
  QFont font;
  PrinterMetrics metrics;
  int displayWidth = 0;
  int leftChars = 0;
  std::vector<int> tabs;
};

bool PlanPages(int kind, int width, PagePlan& plan) {
  if (!SelectPrintFont(kind, width)) return false;
  plan.font = UnsharedPrintFont();
  plan.metrics = CurrentPrinterMetrics();
  ReportState& report = CurrentReport();
  StretchCurrentReport(plan.metrics.lineWidth, false);
  plan.displayWidth = report.displayWidth;
  plan.leftChars = std::max(0, (plan.metrics.lineWidth - report.displayWidth) / 2);
  plan.tabs = report.tabs;
  return true;
}

// Paints lines 1 to `lines` of `buffer` from the page the painter is on;
// `nextPage` begins each further page. False when a page cannot be begun.
bool PaintPages(QPainter& painter, const ReportBuffer& buffer, int lines, const PagePlan& plan,
                const std::function<bool()>& nextPage) {
  const PrinterMetrics& metrics = plan.metrics;
  LineGeometry geometry;
  geometry.font = plan.font;
  geometry.charWidth = metrics.charWidth;
  geometry.lineHeight = metrics.lineHeight;
  geometry.width = plan.displayWidth;
  geometry.leftChars = plan.leftChars;
  geometry.tabs = &plan.tabs;
  painter.setFont(geometry.font);
  LineRenderer renderer(painter, geometry);
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
      if (!nextPage()) return false;
      painter.setFont(geometry.font);
      renderer.ForgetPainterFont();
      if (pageOpen) row = 0;
      pageOpen = true;
    }
    renderer.Draw((row + kTopRows) * metrics.lineHeight, line);
    ++row;
  }
  return true;
}

bool PrintPages(QWidget* owner, int kind, int lines) {
  const ReportBuffer& buffer = TheReportBuffer();
  PagePlan plan;
  if (!PlanPages(kind, buffer.Width(), plan)) return false;
  std::unique_ptr<PrintJob> own;
  PrintJob* job = StartJob(owner, kind, PagesOf(buffer, lines, plan.metrics.linesPerPage), own);
  if (!job) return own ? own->Finish() : false;
  // A page that cannot be begun has failed or aborted the job, which
  // finishing reports.
  PaintPages(job->Painter(), buffer, lines, plan, [job] { return job->NextPage(); });
  return own ? own->Finish() : job->KeepGoing();
}

// ---- Painting behind ------------------------------------------------------
//
// While a PrintBehind lives, a report printed into the run's PDF document
// is handed to the page thread, and PrintReport returns while its pages are
// painted; the next one waits for them before it starts its own. The main
// thread pumps the events meanwhile, so "Abbrechen" still answers.

// Lines of a report painted behind kept in memory; the rest is read back
// from its temporary file.
constexpr std::size_t kHeldWhilePainting = std::size_t{4} << 20;

struct BehindState {
  int depth = 0;
  bool painting = false;      // the page thread has a report of ours
  bool failed = false;        // it could not paint all of it (set by that thread)
  std::string failedTitle;
  ReportBuffer report;        // the report being painted
  PagePlan plan;
};

BehindState& Behind() {
  static BehindState behind;
  return behind;
}

// Waits for the report being painted behind, pumping the events; false
// when it failed or was aborted (it has not been warned about yet).
bool WaitBehind() {
  BehindState& behind = Behind();
  if (!behind.painting) return true;
  while (!PageThread::Instance().WaitIdle(std::chrono::milliseconds(50)))
    if (Run().job) Run().job->KeepGoing();
  behind.painting = false;
  behind.report.Clear();
  return !behind.failed;
}

// A failure seen after the report that had it.
void FailedBehind() {
  Behind().failed = false;
  DropRunDocument(Behind().failedTitle);
}

// Warns itself when the report (or the one before) cannot be printed.
bool PrintPagesBehind(QWidget* owner, int kind, int lines) {
  BehindState& behind = Behind();
  if (!WaitBehind()) {
    FailedBehind();
    return false;
  }
  ReportBuffer& buffer = TheReportBuffer();
  std::unique_ptr<PrintJob> own;  // stays empty: a run into one document keeps its job
  PrintJob* job = nullptr;
  if (PlanPages(kind, buffer.Width(), behind.plan))
    job = StartJob(owner, kind, PagesOf(buffer, lines, behind.plan.metrics.linesPerPage), own);
  if (!job) {
    DropRunDocument(ReportTitle(kind));
    return false;
  }
  behind.report.SwapReport(buffer);
  // Two reports are held now; the one waiting for its pages keeps little
  // in memory, so a run of large sheets stays as small as before.
  if (!behind.report.HoldAtMost(kHeldWhilePainting)) {
    behind.report.Clear();
    DropRunDocument(ReportTitle(kind));
    return false;
  }
  behind.painting = true;
  behind.failedTitle = ReportTitle(kind);
  PageThread::Instance().Start([job, lines, &behind] {
    bool painted = PaintPages(job->Painter(), behind.report, lines, behind.plan,
                              [job] { return job->NextPageBehind(); });
    if (!painted) behind.failed = true;
  });
  return true;
}

}  // namespace

PrintRun::PrintRun() { ++Run().depth; }

PrintRun::~PrintRun() {
  RunState& run = Run();
  if (run.depth == 1 && !WaitBehind()) FailedBehind();
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

PrintBehind::PrintBehind() { ++Behind().depth; }

PrintBehind::~PrintBehind() { Finish(); }

bool PrintBehind::Finish() {
  if (finished_) return ok_;
  finished_ = true;
  ok_ = WaitBehind();
  if (!ok_) FailedBehind();
  --Behind().depth;
  return ok_;
}

bool PrintReport(QWidget* owner) {
  ReportState& report = CurrentReport();
  ReportBuffer& buffer = TheReportBuffer();
  int kind = report.kind;
  int lines = std::min(report.printLines, buffer.LineCount());
  report.printing = true;
  bool printed;
  if (Behind().depth > 0 && RunsIntoOneDocument()) {
    printed = PrintPagesBehind(owner, kind, lines);
  } else if (!(printed = PrintPages(owner, kind, lines))) {
    DropRunDocument(ReportTitle(kind));
  }
  report.printing = false;
  ClearPrintRequest();
  SetReportKind(kReportNone);
  buffer.Clear();
  return printed;
}

}  // namespace talvera
