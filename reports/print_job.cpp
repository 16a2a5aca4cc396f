#include "reports/print_job.h"

#include <QApplication>
#include <QDialog>
#include <QFormLayout>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include <chrono>

#include "widgets/dialog_kit.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace talvera {
namespace {

// Qt's PDF engine compresses every page through buffers of ten megabytes.
// Blocks that large go back to the system at every free by default, so each
// page would map and fault them in afresh, which costs more than drawing
// the page. Keeping them in the heap costs only the pages actually used.
void KeepLargeBuffers() {
#if defined(__GLIBC__)
  static const bool kept = [] {
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024 * 1024);
    return true;
  }();
  (void)kept;
#endif
}

// Pumping the events lays the abort dialog out and paints it, which takes
// longer than drawing a page of a report. So the page number is shown and
// the events are pumped at most this often; "Abbrechen" still answers
// without a noticeable delay.
constexpr std::chrono::milliseconds kPumpInterval{50};

}  // namespace

void ReleaseUnusedHeap() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

QDialog* NewAbortPrintDialog(QWidget* owner, const QString& caption, const QString& pageTotal) {
  auto* dialog = new QDialog(owner);
  dialog->setObjectName("ABORTPRINT");
  dialog->setWindowTitle(caption);
  // No close box: the job ends by its button or by itself.
  dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  auto* layout = new QVBoxLayout(dialog);
  auto* form = new QFormLayout;
  auto* total = new QLabel(pageTotal, dialog);
  total->setObjectName(ControlName(abortprint::kPageTotal));
  auto* page = new QLabel("0", dialog);
  page->setObjectName(ControlName(abortprint::kPageNumber));
  form->addRow("drucke Seite :", page);
  form->addRow("von :", total);
  layout->addLayout(form);
  auto* abort = new QPushButton("Abbrechen", dialog);
  abort->setObjectName(ControlName(abortprint::kAbort));
  layout->addWidget(abort);
  return dialog;
}

PrintJob::PrintJob(QPrinter* printer, QWidget* owner, const QString& jobName,
                   const QString& caption, const QString& pageTotal)
    : printer_(printer) {
  if (printer_) printer_->setDocName(jobName);
  QDialog* dialog = NewAbortPrintDialog(owner, caption, pageTotal);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  pageLabel_ = dialog->findChild<QLabel*>(ControlName(abortprint::kPageNumber));
  auto* abort = dialog->findChild<QPushButton*>(ControlName(abortprint::kAbort));
  QObject::connect(abort, &QPushButton::clicked, dialog, [this, dialog] {
    aborted_ = true;
    dialog->close();
  });
  dialog_ = dialog;
  dialog->show();
}

PrintJob::~PrintJob() {
  if (painter_.isActive()) painter_.end();
  if (dialog_) dialog_->close();
}

bool PrintJob::Start() {
  KeepLargeBuffers();
  if (!printer_ || !painter_.begin(printer_)) {
    failed_ = true;
    return false;
  }
  page_ = 1;
  Pump(true);
  return !aborted_ && !failed_;
}

bool PrintJob::NextPage() { return KeepGoing() && NextPageBehind() && KeepGoing(); }

bool PrintJob::NextPageBehind() {
  if (aborted_ || failed_) return false;
  if (!printer_->newPage()) {
    failed_ = true;
    return false;
  }
  ++page_;
  return !aborted_;
}

bool PrintJob::CountPageBeside() {
  if (aborted_ || failed_) return false;
  ++page_;
  return true;
}

bool PrintJob::KeepGoing() {
  Pump(false);
  return !aborted_ && !failed_;
}

void PrintJob::Pump(bool now) {
  auto time = std::chrono::steady_clock::now();
  if (!now && time - lastPump_ < kPumpInterval) return;
  ShowPage();
  QApplication::processEvents();
  lastPump_ = std::chrono::steady_clock::now();
}

bool PrintJob::Finish() {
  Pump(true);
  bool ok = !aborted_ && !failed_;
  if (painter_.isActive() && !painter_.end()) ok = false;
  if (aborted_ && printer_) printer_->abort();
  return ok && !aborted_;
}

void PrintJob::ShowPage() {
  if (pageLabel_ && dialog_) pageLabel_->setText(QString::number(page_));
}

}  // namespace talvera
