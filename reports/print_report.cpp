#include "reports/print_report.h"

#include <QPainter>
#include <QPrinter>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/message.h"
#include "reports/line_renderer.h"
#include "reports/page_compression.h"
#include "reports/page_thread.h"
#include "reports/pdf_join.h"
#include "reports/print_job.h"
#include "reports/printer.h"
#include "reports/report_buffer.h"
#include "reports/report_kinds.h"
#include "reports/report_state.h"
#include "reports/spill_file.h"

namespace talvera {
namespace {

constexpr int kMessageFontTooLarge = 49;
// Rows above the first printed line of a page.
constexpr int kTopRows = 3;
// The first buffer line belongs to the screen only; printing starts after it.
constexpr int kFirstPrintedLine = 1;

// A second document of a print run's PDF file, painted by the second page
// thread beside the run's own; its pages are put into the file when the
// run ends. It is painted and ended on that thread only.
struct SideDocument {
  std::string target;  // the run's file the pages go into
  std::string path;    // a temporary file
  std::unique_ptr<QPrinter> printer;
  QPainter painter;
  ~SideDocument() {
    if (!path.empty()) ::unlink(path.c_str());
  }
};

// The job a print run keeps open for the PDF file, the title of the report
// that opened it, and, when reports are painted side by side, the second
// document and which pages of the two documents come one after the other.
struct RunState {
  int depth = 0;
  std::unique_ptr<PrintJob> job;
  std::string title;
  std::unique_ptr<SideDocument> side;
  std::vector<PdfPageSpan> spans;
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
// `nextPage` begins each further page, and `pages` counts the pages the
// report took, that one included. False when a page cannot be begun.
bool PaintPages(QPainter& painter, const ReportBuffer& buffer, int lines, const PagePlan& plan,
                const std::function<bool()>& nextPage, int& pages) {
  pages = 1;
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
      ++pages;
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

// ---- Painting behind ------------------------------------------------------
//
// While a PrintBehind lives, a report printed into the run's PDF document
// is handed to a page thread, and PrintReport returns while its pages are
// painted; the next one goes to a thread that is free, or waits for one.
// The first thread paints into the run's own document, the second into a
// document beside it, whose pages are put in their place when the run
// ends. The main thread pumps the events meanwhile, so "Abbrechen" still
// answers.

// Lines of a report painted behind kept in memory; the rest is read back
// from its temporary file.
constexpr std::size_t kHeldWhilePainting = std::size_t{4} << 20;

// What one page thread paints.
struct Lane {
  bool painting = false;  // the thread has a report of ours
  bool failed = false;    // it could not paint all of it (set by that thread)
  int pages = 0;          // pages the report took (set by that thread)
  std::size_t span = 0;   // its place in the run's order of pages
  std::string title;
  ReportBuffer report;    // the report being painted
  PagePlan plan;
};

struct BehindState {
  int depth = 0;
  Lane lanes[PageThreads::kMaxLanes];
  long long lanePages[PageThreads::kMaxLanes] = {};  // handed to each in this run
  std::string failedTitle;  // of the first report that failed, not yet warned about
};

BehindState& Behind() {
  static BehindState behind;
  return behind;
}

// Takes what the idle `lane` did; false when its report failed.
bool Collect(int index) {
  Lane& lane = Behind().lanes[index];
  if (!lane.painting) return true;
  lane.painting = false;
  lane.report.Clear();
  Run().spans[lane.span].pages = lane.pages;
  if (!lane.failed) return true;
  lane.failed = false;
  if (Behind().failedTitle.empty()) Behind().failedTitle = lane.title;
  return false;
}

void PumpWhileWaiting() {
  if (Run().job) Run().job->KeepGoing();
}

// Waits for every report being painted behind, pumping the events; false
// when one failed or was aborted (it has not been warned about yet).
bool WaitBehind() {
  bool ok = true;
  PageThreads& threads = PageThreads::Instance();
  for (int lane = 0; lane < PageThreads::kMaxLanes; ++lane) {
    if (!Behind().lanes[lane].painting) continue;
    while (!threads.WaitIdle(lane, std::chrono::milliseconds(50))) PumpWhileWaiting();
    ok = Collect(lane) && ok;
  }
  return ok;
}

// Ends the side document on its thread; false when it could not be written.
bool EndSide(SideDocument& side) {
  if (!side.painter.isActive()) return true;
  bool ended = false;
  PageThreads& threads = PageThreads::Instance();
  threads.Start(1, [&side, &ended] { ended = side.painter.end(); });
  while (!threads.WaitIdle(1, std::chrono::milliseconds(50))) PumpWhileWaiting();
  return ended;
}

// What makes up the run's document. Taking it out starts the run afresh.
struct RunDocument {
  std::unique_ptr<PrintJob> job;
  std::unique_ptr<SideDocument> side;
  std::vector<PdfPageSpan> spans;
};

RunDocument TakeRunDocument() {
  RunState& run = Run();
  Behind().lanePages[0] = Behind().lanePages[1] = 0;
  return {std::move(run.job), std::move(run.side), std::exchange(run.spans, {})};
}

// A report of a run could not be printed: the run's document is lost with
// it, the run starts afresh, and the warning names the report.
void DropRunDocument(std::string_view title) {
  WaitBehind();
  Behind().failedTitle.clear();
  RunDocument document = TakeRunDocument();
  if (document.side) EndSide(*document.side);
  document = {};
  WarnNotPrinted(title);
}

// A failure seen after the report that had it.
void FailedBehind() {
  std::string title = Behind().failedTitle;
  DropRunDocument(title);
}

// The side document of the run, made like the run's printer.
SideDocument* Side() {
  RunState& run = Run();
  if (run.side) return run.side.get();
  std::string path = TemporaryDirectory() + "/talvera-seiten-XXXXXX";
  int fd = ::mkstemp(path.data());
  if (fd < 0) return nullptr;
  ::close(fd);
  auto side = std::make_unique<SideDocument>();
  side->path = path;
  QPrinter* own = CurrentPrinter();
  side->target = own->outputFileName().toStdString();
  side->printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  QPrinter& printer = *side->printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(path));
  printer.setResolution(own->resolution());
  printer.setFullPage(own->fullPage());
  printer.setPageLayout(own->pageLayout());
  printer.setDocName(own->docName());
  printer.setCreator(own->creator());
  printer.setPdfVersion(own->pdfVersion());
  printer.setColorMode(own->colorMode());
  printer.setFontEmbeddingEnabled(own->fontEmbeddingEnabled());
  run.side = std::move(side);
  return run.side.get();
}

// The lane the next report goes to, once it is free: the first report of
// the run's document goes to the run's own; later ones to either, the one
// that has been handed fewer pages when both are free. Without a side
// document (no temporary file) the run's own lane paints everything.
int FreeLane() {
  PageThreads& threads = PageThreads::Instance();
  BehindState& behind = Behind();
  bool beside = Run().job && threads.Lanes() > 1;
  int preferred = beside && behind.lanePages[1] < behind.lanePages[0] ? 1 : 0;
  for (;;) {
    int lane = beside ? threads.WaitAnyIdle(preferred, std::chrono::milliseconds(50))
                      : (threads.WaitIdle(0, std::chrono::milliseconds(50)) ? 0 : -1);
    if (lane == 1 && !Side()) {
      beside = false;
      continue;
    }
    if (lane >= 0) return lane;
    PumpWhileWaiting();
  }
}

// Begins the report's first page in the lane's document (the report takes
// `pages`).
bool BeginFirstPage(int lane, QWidget* owner, int kind, int pages) {
  std::unique_ptr<PrintJob> own;  // stays empty: a run into one document keeps its job
  if (lane == 0) return StartJob(owner, kind, pages, own);
  // The side document begins its pages on its own thread.
  return Run().job->KeepGoing();
}

// Paints the lane's report; on its page thread.
void PaintLane(int index, int lines) {
  Lane& lane = Behind().lanes[index];
  PrintJob* job = Run().job.get();
  FastPageCompression fast;
  lane.pages = 1;
  bool painted = false;
  if (index == 0) {
    painted = PaintPages(job->Painter(), lane.report, lines, lane.plan,
                         [job] { return job->NextPageBehind(); }, lane.pages);
  } else {
    SideDocument& side = *Run().side;
    bool begun = side.painter.isActive() ? side.printer->newPage() : side.painter.begin(side.printer.get());
    painted = begun && job->CountPageBeside() &&
              PaintPages(side.painter, lane.report, lines, lane.plan,
                         [job, &side] { return job->CountPageBeside() && side.printer->newPage(); },
                         lane.pages);
  }
  if (!painted) lane.failed = true;
  ReleaseUnusedHeap();
}

// Warns itself when the report (or one before) cannot be printed.
bool PrintPagesBehind(QWidget* owner, int kind, int lines) {
  BehindState& behind = Behind();
  int index = FreeLane();
  if (!Collect(index) || !behind.failedTitle.empty()) {
    FailedBehind();
    return false;
  }
  Lane& lane = behind.lanes[index];
  ReportBuffer& buffer = TheReportBuffer();
  int pages = 0;
  if (!PlanPages(kind, buffer.Width(), lane.plan) ||
      !BeginFirstPage(index, owner, kind, pages = PagesOf(buffer, lines, lane.plan.metrics.linesPerPage))) {
    DropRunDocument(ReportTitle(kind));
    return false;
  }
  behind.lanePages[index] += pages;
  lane.report.SwapReport(buffer);
  // Three reports are held now; those waiting for their pages keep little
  // in memory, so a run of large sheets stays as small as before.
  if (!lane.report.HoldAtMost(kHeldWhilePainting)) {
    lane.report.Clear();
    DropRunDocument(ReportTitle(kind));
    return false;
  }
  lane.painting = true;
  lane.title = ReportTitle(kind);
  lane.span = Run().spans.size();
  Run().spans.push_back({index, 0});
  PageThreads::Instance().Start(index, [index, lines] { PaintLane(index, lines); });
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
  int pages = 0;
  PaintPages(job->Painter(), buffer, lines, plan, [job] { return job->NextPage(); }, pages);
  if (own) return own->Finish();
  Run().spans.push_back({0, pages});
  return job->KeepGoing();
}

// Ends the run's document: the side document's pages go into their places
// in the file. False when anything went wrong; the file is then removed
// rather than left with pages missing in between.
bool EndRunDocument() {
  auto [job, side, spans] = TakeRunDocument();
  bool ok = job->Finish();
  if (!side) return ok;
  ok = EndSide(*side) && ok;
  bool painted = std::any_of(spans.begin(), spans.end(), [](const PdfPageSpan& s) { return s.part == 1; });
  ReleaseUnusedHeap();  // what the painting held, before the pages are put together
  if (ok && painted) ok = JoinPdfParts({side->target, side->path}, spans, side->target);
  if (!ok && painted) ::unlink(side->target.c_str());
  return ok;
}

}  // namespace

PrintRun::PrintRun() { ++Run().depth; }

PrintRun::~PrintRun() {
  RunState& run = Run();
  if (run.depth == 1 && !WaitBehind()) FailedBehind();
  if (--run.depth > 0 || !run.job) return;
  std::string title = run.title;
  if (!EndRunDocument()) WarnNotPrinted(title);
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
