// Printing the report buffer, and the print-font check evaluation dialogs
// make before they build a report for the printer.
#pragma once

class QWidget;

namespace talvera {

// Selects the print font of `kind`; message 49 when no font gives the kind
// its width on a line (or there is no printer). Evaluation dialogs call it
// before building a report for the printer.
bool PreparePrintFont(int kind);

// Prints the requested lines of the report buffer as the current report
// kind (CurrentReport()). On failure or abort a warning names the report.
// Afterwards the print request and the report kind are cleared and the
// buffer is emptied. `owner` owns the abort dialog.
bool PrintReport(QWidget* owner);

}  // namespace talvera
