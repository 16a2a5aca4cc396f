#include "reports/report_state.h"

#include <algorithm>
#include <cmath>

#include "reports/report_buffer.h"
#include "reports/report_kinds.h"

namespace talvera {

ReportState& CurrentReport() {
  static ReportState state;
  return state;
}

void SetReportKind(int kind) {
  ReportState& r = CurrentReport();
  r.kind = kind;
  r.displayWidth = ReportWidth(kind, TheReportBuffer().Width());
  r.tabs = TheReportBuffer().TemplateTabs();
}

void RequestPrint(int lineCount) {
  CurrentReport().printRequested = true;
  CurrentReport().printLines = lineCount;
}

void ClearPrintRequest() {
  CurrentReport().printRequested = false;
  CurrentReport().printLines = 0;
}

PrinterMetrics& CurrentPrinterMetrics() {
  static PrinterMetrics metrics;
  return metrics;
}

PrinterMetrics MeasurePrinter(double printableWidth, double printableHeight, double charWidth,
                              double lineHeight) {
  PrinterMetrics m;
  m.charWidth = charWidth;
  m.lineHeight = lineHeight;
  if (charWidth > 0) m.lineWidth = static_cast<int>(printableWidth / charWidth);
  if (lineHeight > 0) m.linesPerPage = std::max(0, static_cast<int>(printableHeight / lineHeight) - 4);
  return m;
}

StretchedLayout Stretch(int width, const std::vector<int>& tabs, int columns) {
  StretchedLayout out{width, tabs};
  if (width <= 0) return out;  // lists and forms have no width to spread
  double factor = std::min(1.5, static_cast<double>(columns - 6) / width);
  if (factor < 1.01) return out;
  out.width = static_cast<int>(std::lround(width * factor));
  for (int& tab : out.tabs) tab = static_cast<int>(std::lround(tab * factor));
  return out;
}

void StretchCurrentReport(int columns, bool forScreen) {
  ReportState& r = CurrentReport();
  r.displayWidth = ReportWidth(r.kind, TheReportBuffer().Width());
  r.tabs = TheReportBuffer().TemplateTabs();
  if (forScreen && r.kind == kReportKontenblatt) return;
  StretchedLayout s = Stretch(r.displayWidth, r.tabs, columns);
  r.displayWidth = s.width;
  r.tabs = std::move(s.tabs);
}

int ChooseAutoFontHeight(int requiredWidth,
                         const std::function<double(int twips)>& charsPerLine) {
  for (int twips : kAutoFontHeights)
    if (charsPerLine(twips) >= requiredWidth) return twips;
  return 0;
}

}  // namespace talvera
