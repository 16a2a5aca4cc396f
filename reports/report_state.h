// What the report window shows and what report builders may read while they
// lay out a report: the kind, its display width and tab list (both possibly
// stretched), the print request, and the metrics of the selected print font.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace talvera {

struct ReportState {
  int kind = 0;                // 0: no report
  int displayWidth = 0;        // the kind's width, or wider after stretching
  std::vector<int> tabs;       // tab list the renderer uses, in characters
  bool printRequested = false; // an evaluation chose "Drucker"
  int printLines = 0;          // how many lines that job prints
  bool printing = false;       // a print job runs; no second one may start
  std::string journalFirst;    // period dates (DDPPYY) of the journal shown
  std::string journalLast;
};

ReportState& CurrentReport();

// Sets the kind, its width and the tab list of the report buffer's template.
void SetReportKind(int kind);
// The print request an evaluation dialog makes when its output is "Drucker".
void RequestPrint(int lineCount);
void ClearPrintRequest();

// Results of the last print-font selection, in printer device units.
struct PrinterMetrics {
  double charWidth = 0;   // average character width
  double lineHeight = 0;  // line spacing
  int lineWidth = 0;      // characters on a printed line
  int linesPerPage = 0;   // lines a builder may put on a page
};
PrinterMetrics& CurrentPrinterMetrics();
// Lines per page leave four lines for the margins the printing keeps.
PrinterMetrics MeasurePrinter(double printableWidth, double printableHeight, double charWidth,
                              double lineHeight);

// Stretching spreads a report over wider output: with `columns` available
// characters the factor (columns - 6) / width, at most 1.5, widens the report
// and its tabs when it is at least 1.01.
struct StretchedLayout {
  int width = 0;
  std::vector<int> tabs;
};
StretchedLayout Stretch(int width, const std::vector<int>& tabs, int columns);
// Stretches the current report from its unstretched layout, so stretching
// twice never compounds. The account sheet is never stretched on the screen.
void StretchCurrentReport(int columns, bool forScreen);

// Print font heights tried when a kind has no configured font, in twips
// (1/20 point), largest first: 9.5 pt down to 5 pt.
constexpr int kAutoFontHeights[] = {190, 180, 170, 160, 150, 140, 130, 120, 110, 100};
// The first height at which `charsPerLine(height)` reaches `requiredWidth`;
// 0 when none does.
int ChooseAutoFontHeight(int requiredWidth, const std::function<double(int twips)>& charsPerLine);

}  // namespace talvera
