// One print job with its abort dialog "ABORTPRINT": the document is started
// under a job name, pages are begun and counted, and between pages the
// events are pumped (every 50 ms at most) so the user can press "Abbrechen".
#pragma once

#include <QDialog>
#include <QPainter>
#include <QPointer>
#include <QString>

#include <atomic>
#include <chrono>

class QLabel;
class QPrinter;
class QWidget;

namespace talvera {

// Ids of the abort dialog's controls.
namespace abortprint {
enum : int { kPageTotal = 101, kPageNumber = 102, kAbort = 2 };
}

// Qt's PDF engine takes buffers of megabytes for every page it writes; the
// program keeps such blocks in its heap (see print_job.cpp). The parts of
// the heap no longer in use go back to the system here: threads that paint
// many reports call it after each, or the memory of two of them painting
// side by side grows with the pages.
void ReleaseUnusedHeap();

// The abort dialog of a print job, not yet shown or tied to a job (the
// gallery shows it on its own).
QDialog* NewAbortPrintDialog(QWidget* owner, const QString& caption, const QString& pageTotal);

class PrintJob {
 public:
  // `caption` titles the abort dialog, `pageTotal` is shown as "von :".
  PrintJob(QPrinter* printer, QWidget* owner, const QString& jobName, const QString& caption,
           const QString& pageTotal);
  ~PrintJob();
  PrintJob(const PrintJob&) = delete;
  PrintJob& operator=(const PrintJob&) = delete;

  // Starts the document; false when the printer refuses.
  bool Start();
  // Begins the next page (the first one is begun by Start) and counts it;
  // false when the printer fails or the user aborted.
  bool NextPage();
  // The same for pages painted by a thread of their own while this one
  // pumps the events (KeepGoing): begins the next page without touching
  // the abort dialog.
  bool NextPageBehind();
  // Counts a page begun for the job in a document painted beside its own (see
  // PrintBehind); false once the user aborted.
  bool CountPageBeside();
  // Lets the abort dialog see its button; false once the user aborted.
  bool KeepGoing();
  // Ends the document; false when anything went wrong on the way.
  bool Finish();

  QPainter& Painter() { return painter_; }
  int Page() const { return page_; }
  bool Aborted() const { return aborted_; }
  // The abort dialog, for tests (null once the user aborted).
  QDialog* AbortDialog() const { return dialog_; }

 private:
  void ShowPage();
  // Shows the page number and pumps the events; unless `now`, only when
  // the last time is long enough ago.
  void Pump(bool now);

  QPrinter* printer_;
  QPainter painter_;
  QPointer<QDialog> dialog_;
  QLabel* pageLabel_ = nullptr;
  // Read and written by the thread that paints pages behind as well.
  std::atomic<int> page_{0};
  std::atomic<bool> aborted_{false};
  std::atomic<bool> failed_{false};
  std::chrono::steady_clock::time_point lastPump_;
};

}  // namespace talvera
