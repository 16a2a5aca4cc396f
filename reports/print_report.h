// Printing the report buffer, and the print-font check evaluation dialogs
// make before they build a report for the printer.
#pragma once

class QWidget;

namespace talvera {

// Selects the print font of `kind`; message 49 when no font gives the kind
// its width on a line (or there is no printer). Evaluation dialogs call it
// before building a report for the printer; a report that sets its own
// width passes it as `ownWidth`.
bool PreparePrintFont(int kind, int ownWidth = 0);

// While a print run lives, the reports printed to the PDF file go into one
// document, one after the other, instead of each replacing the file: the
// commands that print several reports (every account sheet of a range) hold
// one. Printers of the print system take each report as a job of its own.
// Runs may nest; the outermost one ends the document.
class PrintRun {
 public:
  PrintRun();
  ~PrintRun();
  PrintRun(const PrintRun&) = delete;
  PrintRun& operator=(const PrintRun&) = delete;
};

// While one lives inside a print run on the PDF file, each report printed
// is painted by a thread of its own while the caller builds the next one
// (every account sheet of a year); on two cores two threads paint side by
// side, and the file gets its pages in order when the run ends. PrintReport
// then returns once the pages are handed over; a failure shows up, with its
// warning, when a later report is printed or at Finish. Printers of the
// print system print as before.
class PrintBehind {
 public:
  PrintBehind();
  ~PrintBehind();
  PrintBehind(const PrintBehind&) = delete;
  PrintBehind& operator=(const PrintBehind&) = delete;
  // Waits for the last report's pages, pumping the events; false (after the
  // warning) when it could not be printed or was aborted.
  bool Finish();

 private:
  bool finished_ = false;
  bool ok_ = true;
};

// Prints the requested lines of the report buffer as the current report
// kind (CurrentReport()), from its second line on: the first is the
// screen's (reports start with an empty line). On failure or abort a warning names the report.
// Afterwards the print request and the report kind are cleared and the
// buffer is emptied. `owner` owns the abort dialog.
bool PrintReport(QWidget* owner);

}  // namespace talvera
